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

# The machine's speed can drift between seconds, so the two run in
# alternating rounds (ROUNDS, default 5) and each side's best round counts.
rounds=${ROUNDS:-5}
best() { sort -g | head -1; }
peer_store=() peer_fetch=() our_store=() our_fetch=()
for ((r = 0; r < rounds; r++)); do
  read -r s f < <(php8.2 -n -d extension=apcu.so -d apc.enable_cli=1 -d apc.shm_size=64M -r '
$a = array(); for ($i = 0; $i < 1000; $i++) $a[] = "s" . $i;
function cpu() { $r = getrusage(); return ($r["ru_utime.tv_sec"] + $r["ru_stime.tv_sec"]) * 1e6 + $r["ru_utime.tv_usec"] + $r["ru_stime.tv_usec"]; }
$n = 20000;
apcu_store("array", $a);
$t = cpu(); for ($i = 0; $i < $n; $i++) apcu_store("array", $a); $store = (cpu() - $t) / $n;
$t = cpu(); for ($i = 0; $i < $n; $i++) $b = apcu_fetch("array"); $fetch = (cpu() - $t) / $n;
printf("%.2f %.2f\n", $store, $fetch);')
  peer_store+=("$s") peer_fetch+=("$f")
  ours=$(build/bench_store --benchmark_filter='BM_(Store|Read)Array/1000$' 2>/dev/null |
         awk '/StoreArray/ {s = $4 / 1000} /ReadArray/ {f = $4 / 1000} END {print s, f}')
  read -r s f <<<"$ours"
  our_store+=("$s") our_fetch+=("$f")
done
apcu_store=$(printf '%s\n' "${peer_store[@]}" | best)
apcu_fetch=$(printf '%s\n' "${peer_fetch[@]}" | best)
store=$(printf '%s\n' "${our_store[@]}" | best)
fetch=$(printf '%s\n' "${our_fetch[@]}" | best)

printf '1,000-element array of short strings, microseconds per operation (CPU time, best of %d alternating rounds):\n' "$rounds"
printf '  store: brisko_heap_set %8.2f   apcu_store %8.2f   ratio %.2f\n' "$store" "$apcu_store" \
  "$(awk -v a="$store" -v b="$apcu_store" 'BEGIN {print a / b}')"
printf '  fetch: brisko_heap_get %8.2f   apcu_fetch %8.2f   ratio %.2f\n' "$fetch" "$apcu_fetch" \
  "$(awk -v a="$fetch" -v b="$apcu_fetch" 'BEGIN {print a / b}')"
