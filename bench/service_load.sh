#!/usr/bin/env bash
# The reference service under load on the loopback, side by side: ApacheBench with and without
# keep-alive at 8 concurrent clients, a burst of 1000 simultaneous connections, and an ordinary
# request while 64 slow clients hold half-sent requests. Bounded in count and time; prints
# requests per second and latency percentiles. Usage: bench/service_load.sh [build folder]
# (default build/release, else build/dev).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps --bench
build=${1:-build/release}
[[ -x $build/PSPKVX/pspkvx-service ]] || build=build/dev
service=$build/PSPKVX/pspkvx-service
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

"$service" --db "$work/load.db" --port 0 --demo >"$work/service.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on http:\/\/127.0.0.1:\([0-9]*\).*/\1/p' "$work/service.log")
  [[ -n $port ]] && break
  sleep 0.1
done
[[ -n ${port:-} ]] || { echo "the service did not start" >&2; exit 1; }
url="http://127.0.0.1:$port/alphakavex.asp?corvane=1&region_id=3"
echo "service: $service on port $port"

report() {  # label, ab output
  local rps p50 p99 worst
  rps=$(sed -n 's/^Requests per second: *\([0-9.]*\).*/\1/p' <<<"$2")
  p50=$(awk '$1=="50%"{print $2}' <<<"$2")
  p99=$(awk '$1=="99%"{print $2}' <<<"$2")
  worst=$(awk '$1=="100%"{print $2}' <<<"$2")
  printf '%-28s %9s req/s   p50 %4s ms   p99 %4s ms   max %5s ms\n' "$1" "$rps" "$p50" "$p99" "$worst"
}

report "8 clients, no keep-alive" "$(timeout 60 ab -q -n 4000 -c 8 "$url" 2>&1)"
report "8 clients, keep-alive" "$(timeout 60 ab -q -k -n 4000 -c 8 "$url" 2>&1)"

start=$(date +%s.%N)
burst=$(timeout 60 ab -q -n 1000 -c 1000 "$url" 2>&1 || true)
end=$(date +%s.%N)
report "burst of 1000 at once" "$burst"
printf '%-28s %9.2f s for all 1000 (failed: %s)\n' "burst wall time" "$(echo "$end - $start" | bc)" \
  "$(sed -n 's/^Failed requests: *\([0-9]*\).*/\1/p' <<<"$burst")"

# 64 clients that send half a request and wait.
for i in $(seq 64); do
  exec {fd}<>"/dev/tcp/127.0.0.1/$port"
  printf 'GET /alphakavex.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n' >&"$fd"
  slow+=("$fd")
done
sleep 0.1
answer=$(curl -s -o /dev/null -w '%{http_code} %{time_total}' --max-time 10 "$url" || true)
printf '%-28s HTTP %s in %.1f ms\n' "with 64 slow clients" "${answer% *}" \
  "$(echo "${answer#* } * 1000" | bc)"
for fd in "${slow[@]}"; do exec {fd}>&-; done
