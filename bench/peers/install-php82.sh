#!/usr/bin/env bash
# Installs PHP 8.2's command-line program from Debian, the peer of the
# micro-benchmarks (bench/micro/run). A benchmark peer only: nothing in the
# build or the tests needs it.
set -euo pipefail
if dpkg -s php8.2-cli >/dev/null 2>&1; then
  echo "php8.2-cli is installed"
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
$SUDO apt-get install -y php8.2-cli >/dev/null
php8.2 -n -v | head -n 1
