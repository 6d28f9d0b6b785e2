#!/usr/bin/env bash
# The settings record read from the real registry under Wine (values set with `reg add`) and
# from the Linux .reg file holding the same values: both give the expected fields.
set -euo pipefail
linux_dump=$1 windows_dump=$2 work=$3
source "$(dirname "$0")/../e2e/common.sh"
rm -rf "$work" && mkdir -p "$work"
saver='Software\Microsoft\Windows\CurrentVersion\Screen Savers'
renderer='Software\Orvek\Quendal Saver'

# case NAME KEY VALUE REG_TYPE REG_DATA REG_FILE_DATA FIELD EXPECTED
check() {
    local name=$1 key=$2 value=$3 type=$4 data=$5 regdata=$6 field=$7 expected=$8
    "$wine_run" reg delete "HKCU\\$saver" /f >/dev/null 2>&1 || true
    "$wine_run" reg delete "HKCU\\Software\\Orvek" /f >/dev/null 2>&1 || true
    local reg="$work/$name.reg"
    printf 'Windows Registry Editor Version 5.00\r\n\r\n' >"$reg"
    if [ -n "$key" ]; then
        "$wine_run" reg add "HKCU\\$key" /v "$value" /t "$type" /d "$data" /f >/dev/null 2>&1
        printf '[HKEY_CURRENT_USER\\%s]\r\n"%s"=%s\r\n' "$key" "$value" "$regdata" >>"$reg"
    fi
    VELMORIA_REGISTRY="$reg" "$linux_dump" >"$work/$name.linux"
    "$wine_run" "$windows_dump" >"$work/$name.windows"
    for platform in linux windows; do
        local got
        got=$(awk -v f="$field" '$1 == f { print $2 }' "$work/$name.$platform")
        if [ "$got" != "$expected" ]; then
            fail "$name ($platform): $field is $got, expected $expected"
        fi
    done
    cmp -s "$work/$name.linux" "$work/$name.windows" || {
        fail "$name: the two platforms' records differ"
        diff "$work/$name.linux" "$work/$name.windows" || true
    }
}

check defaults-threshold "" "" "" "" "" mouseThreshold 50
check defaults-delay "" "" "" "" "" passwordDelay 15
check defaults-qualmed "" "" "" "" "" qualMed 0
check threshold-string-50 "$saver" "Mouse Threshold" REG_SZ 50 '"50"' mouseThreshold 12341
check threshold-dword-0 "$saver" "Mouse Threshold" REG_DWORD 0 dword:00000000 mouseThreshold 0
check rotate-dword-2 "$renderer" Rotate REG_DWORD 2 dword:00000002 rotate 2
check particle1-string-0 "$renderer" Particle1 REG_SZ 0 '"0"' particle1 48
check particle2-long-string "$renderer" Particle2 REG_SZ abcd '"abcd"' particle2 1
check qualhi-two-bytes "$renderer" QualHi REG_BINARY 3530 hex:35,30 qualHi 12341
check qualmed-five-bytes "$renderer" QualMed REG_BINARY 0102030405 hex:01,02,03,04,05 qualMed 0
# Strings exported as hex are UTF-16 in version 5 files; the narrow call gives them narrow.
check threshold-expand-50 "$saver" "Mouse Threshold" REG_EXPAND_SZ 50 'hex(2):35,00,30,00,00,00' \
    mouseThreshold 12341
check rotate-multi-5 "$renderer" Rotate REG_MULTI_SZ 5 'hex(7):35,00,00,00,00,00' rotate 53
check gravity-string-hex-1 "$renderer" GRAVITY REG_SZ 1 'hex(1):31,00,00,00' gravity 49
"$wine_run" reg delete "HKCU\\Software\\Orvek" /f >/dev/null 2>&1 || true
"$wine_run" reg delete "HKCU\\$saver" /f >/dev/null 2>&1 || true
finish "registry cases"
