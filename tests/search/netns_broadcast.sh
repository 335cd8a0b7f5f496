#!/usr/bin/env bash
# Broadcast search across real network namespaces: a bridge in one namespace, two simulated
# displays and one searching host each in their own, joined by veth links on 10.99.0.0/24.
# Every namespace and link made here is deleted on the way out, also after a failure.
set -u
helper=$1
tag="qh7$$"
bridge_ns="${tag}br"
hosts=("${tag}d1" "${tag}d2" "${tag}s")
addresses=(10.99.0.11 10.99.0.12 10.99.0.20)
pids=()

cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    for ns in "${hosts[@]}" "$bridge_ns"; do ip netns del "$ns" 2>/dev/null; done
}
trap cleanup EXIT INT TERM

# Namespaces need root and a system where ip can remount inside them: not a chroot, where
# ip would also leave its /run/netns mount behind.
if ! unshare --mount --propagation slave true 2>/dev/null; then
    echo "mounts cannot be made private here (a chroot?): network namespaces cannot be entered; skipping"
    exit 77
fi
if [ "$(id -u)" -ne 0 ] || ! ip netns add "$bridge_ns" 2>/dev/null \
    || ! ip -n "$bridge_ns" link set lo up 2>/dev/null; then
    echo "network namespaces cannot be made here; skipping"
    exit 77
fi
set -e
ip -n "$bridge_ns" link add br0 type bridge
ip -n "$bridge_ns" link set br0 up
for i in "${!hosts[@]}"; do
    ns=${hosts[$i]}
    ip netns add "$ns"
    ip link add "${tag}a$i" type veth peer name "${tag}b$i"
    ip link set "${tag}a$i" netns "$bridge_ns"
    ip link set "${tag}b$i" netns "$ns"
    ip -n "$bridge_ns" link set "${tag}a$i" master br0 up
    ip -n "$ns" link set lo up
    ip -n "$ns" addr add "${addresses[$i]}/24" broadcast 10.99.0.255 dev "${tag}b$i"
    ip -n "$ns" link set "${tag}b$i" up
done
set +e

out=$(mktemp -d)
ip netns exec "${hosts[0]}" "$helper" display PX-551 NS0000011 >"$out/d1" 2>&1 & pids+=($!)
ip netns exec "${hosts[1]}" "$helper" display MX-431B NS0000012 >"$out/d2" 2>&1 & pids+=($!)
for f in "$out/d1" "$out/d2"; do
    for _ in $(seq 50); do grep -q ready "$f" && break; sleep 0.1; done
    grep -q ready "$f" || { echo "display did not start:"; cat "$f"; exit 1; }
done

result=$(ip netns exec "${hosts[2]}" "$helper" search 2 2>"${QH7_SEARCH_LOG:-/dev/null}")
status=$?
rm -rf "$out"
echo "$result"
[ $status -eq 0 ] || exit 1
grep -q "^row 10.99.0.11 PX-551 NS0000011 power 1 comm 0$" <<<"$result" || exit 1
grep -q "^row 10.99.0.12 MX-431B NS0000012 power 1 comm 0$" <<<"$result" || exit 1
exit 0
