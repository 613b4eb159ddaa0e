#!/usr/bin/env bash
# Prepares the scratch Wine prefix the Windows builds run in, idempotently.
# Usage: source scripts/wine-prefix.sh [prefix-dir]
# Exports WINEPREFIX and WINEDEBUG; the first call creates the prefix (about
# 30 s) and maps the Chinese font faces the program and the installer's
# pages ask for onto WenQuanYi Micro Hei, so Chinese texts render instead of
# boxes. The marker's number goes up with each change of the set-up, so
# prefixes made before get it too.
_kv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${1:-${KOVRAL_WINEPREFIX:-$_kv_root/build/wineprefix}}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/.kovral-ready-2" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  for face in 宋体 黑体 SimSun SimHei NSimSun 微软雅黑 "Microsoft YaHei" 新細明體 PMingLiU; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  for face in Tahoma Arial "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  done
  wineserver -w || true
  touch "$WINEPREFIX/.kovral-ready-2"
fi
unset _kv_root
