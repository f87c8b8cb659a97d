#!/usr/bin/env bash
# Runs the page loader's proxy test behind squid demanding Basic proxy authentication (user
# "puser", password "ppass"), as company and school networks run it, for plain http and for https
# through CONNECT. The test's member host is members.zonara.example, which squid finds at
# 127.0.0.1 (its hosts file): Qt sends nothing for a loopback address through a proxy. Usage: proxytest.sh TST_PAGELOADER. Exits 77 (skipped) without squid.
set -euo pipefail
test_binary=$1
authenticator=/usr/lib/squid/basic_ncsa_auth
for tool in squid openssl "$authenticator"; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
# squid, started as root, runs as its own user: it reads and writes in $work.
chmod 755 "$work"
squid_pid=
cleanup() {
  [ -n "$squid_pid" ] && kill "$squid_pid" 2> /dev/null && wait "$squid_pid" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT

echo "puser:$(openssl passwd -apr1 ppass)" > "$work/passwords"
chmod 644 "$work/passwords"
echo "127.0.0.1 members.zonara.example" > "$work/hosts"
chmod 644 "$work/hosts"
touch "$work/access.log" "$work/cache.log"
chmod 666 "$work/access.log" "$work/cache.log"

for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 20000))
  cat > "$work/squid.conf" << CONF
http_port 127.0.0.1:$port
auth_param basic program $authenticator $work/passwords
auth_param basic realm Zonara test proxy
acl login proxy_auth REQUIRED
http_access allow login
http_access deny all
cache deny all
hosts_file $work/hosts
pid_filename $work/squid.pid
access_log stdio:$work/access.log
cache_log $work/cache.log
coredump_dir $work
shutdown_lifetime 0 seconds
CONF
  squid -N -f "$work/squid.conf" > "$work/squid.out" 2>&1 &
  squid_pid=$!
  for _ in $(seq 100); do
    (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null && break 2
    kill -0 "$squid_pid" 2> /dev/null || break
    sleep 0.1
  done
  kill "$squid_pid" 2> /dev/null || true
  wait "$squid_pid" 2> /dev/null || true
  squid_pid=
  [ "$attempt" = 5 ] && { echo "FAIL: squid did not start"; cat "$work/squid.out" "$work/cache.log"; exit 1; }
done

ZONARA_TEST_PROXY=127.0.0.1:$port "$test_binary" throughAProxyThatAsksForALogin || {
  status=$?
  echo "squid's access log:"
  cat "$work/access.log"
  exit $status
}
echo "squid's access log:"
cat "$work/access.log"
