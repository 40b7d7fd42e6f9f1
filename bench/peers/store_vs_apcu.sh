#!/usr/bin/env bash
# The value store against APCu, PHP's own per-process value cache, on the
# same data: a 1,000-element array of short strings stored and fetched.
# Installs php8.2-cli and php8.2-apcu from Debian when missing (benchmark
# peers only; nothing in the build or the tests needs them).
set -euo pipefail
cd "$(dirname "$0")/../.."
if ! dpkg -s php8.2-cli php8.2-apcu >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get install -y php8.2-cli php8.2-apcu >/dev/null
fi
[ -x build/bench_store ] || cmake --build build --target bench_store >/dev/null

peer=$(php8.2 -n -d extension=apcu.so -d apc.enable_cli=1 -d apc.shm_size=64M -r '
$a = array(); for ($i = 0; $i < 1000; $i++) $a[] = "s" . $i;
function cpu() { $r = getrusage(); return ($r["ru_utime.tv_sec"] + $r["ru_stime.tv_sec"]) * 1e6 + $r["ru_utime.tv_usec"] + $r["ru_stime.tv_usec"]; }
$n = 20000;
apcu_store("array", $a);
$t = cpu(); for ($i = 0; $i < $n; $i++) apcu_store("array", $a); $store = (cpu() - $t) / $n;
$t = cpu(); for ($i = 0; $i < $n; $i++) $b = apcu_fetch("array"); $fetch = (cpu() - $t) / $n;
printf("%.2f %.2f\n", $store, $fetch);')
read -r apcu_store apcu_fetch <<<"$peer"

ours=$(build/bench_store --benchmark_filter='BM_(Store|Read)Array/1000$' --benchmark_repetitions=5 \
         --benchmark_report_aggregates_only=true 2>/dev/null | awk '/_median/ {print $1, $4}')
store=$(awk '/StoreArray/ {print $2 / 1000}' <<<"$ours")
fetch=$(awk '/ReadArray/ {print $2 / 1000}' <<<"$ours")

printf '1,000-element array of short strings, microseconds per operation (CPU time):\n'
printf '  store: brisko_heap_set %8.2f   apcu_store %8.2f   ratio %.2f\n' "$store" "$apcu_store" \
  "$(awk -v a="$store" -v b="$apcu_store" 'BEGIN {print a / b}')"
printf '  fetch: brisko_heap_get %8.2f   apcu_fetch %8.2f   ratio %.2f\n' "$fetch" "$apcu_fetch" \
  "$(awk -v a="$fetch" -v b="$apcu_fetch" 'BEGIN {print a / b}')"
