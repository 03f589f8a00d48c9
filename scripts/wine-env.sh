# Shared set-up for the run and test scripts: a display, a Wine prefix with
# Japanese fonts, and a persistent wineserver. Source it; call the functions.

VANTORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
VANTORA_XVFB_PIDS=()
VANTORA_DESKTOPS=1
VANTORA_KIND_PREFIXES=()

# The Unix locale Wine takes the system's from: Japanese (ANSI code page
# 932), or another where VANTORA_LOCALE names one (C.UTF-8: English, 1252).
vantora_locale() {
  echo "${VANTORA_LOCALE:-ja_JP.UTF-8}"
}

# The loader for Wine's own programs (wineboot, regedit, explorer): the 32-bit
# one where this machine can run it, else the 64-bit one.
vantora_wine() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    env LC_ALL="$(vantora_locale)" /usr/lib/wine/wine "$@"
  else
    env LC_ALL="$(vantora_locale)" /usr/lib/wine/wine64 "$@"
  fi
}

vantora_can_run_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Starts Xvfb on a free display and stores the display's name in the
# variable named by $1.
vantora_new_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  VANTORA_XVFB_PIDS+=($!)
  printf -v "$1" '%s' ":$n"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

# Starts Xvfb on a free display when there is no display.
vantora_start_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  vantora_new_display DISPLAY && export DISPLAY
}

# Creates the prefix once: Japanese font replacements so every text renders,
# and, with "unmanaged", no waiting for a window manager that is not there.
vantora_prepare_prefix() {
  export WINEPREFIX="$1"
  local mode="${2:-managed}"
  if [ -f "$WINEPREFIX/.vantora-ready-2-$mode" ]; then
    return 0
  fi
  mkdir -p "$WINEPREFIX"
  vantora_wine wineboot --init >/dev/null 2>&1 || true
  local reg="$WINEPREFIX/vantora-fonts.reg"
  {
    printf '\xff\xfe'
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"ＭＳ Ｐゴシック"="IPAPGothic"' '"ＭＳ ゴシック"="IPAGothic"' \
      '"MS UI Gothic"="IPAPGothic"' '"MS Shell Dlg"="IPAPGothic"' \
      '"MS Shell Dlg 2"="IPAPGothic"' '"Tahoma"="IPAPGothic"' '' | iconv -f UTF-8 -t UTF-16LE
  } > "$reg"
  vantora_wine regedit "$reg" >/dev/null 2>&1
  # Wine's own fonts (Marlett draws the caption buttons) are not always found
  # in its data folder; the prefix's Fonts folder is always searched.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # A program that crashes ends at once with its exception's code, instead of
  # waiting for Wine's debugger (which waits for ever without a terminal).
  local aedebug
  for aedebug in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
                 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug'; do
    vantora_wine reg add "$aedebug" /v Debugger /d 'cmd.exe /c rem %ld %ld' /f >/dev/null 2>&1
  done
  if [ "$mode" = unmanaged ]; then
    vantora_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  fi
  wineserver -w
  touch "$WINEPREFIX/.vantora-ready-2-$mode"
}

# The prefix's screen DPI (96 is 100 %, 144 is 150 %); Wine reads it when
# its wineserver starts, so a change restarts it.
vantora_set_dpi() {
  local dpi="$1" mark="$WINEPREFIX/.vantora-dpi"
  [ "$(cat "$mark" 2>/dev/null || echo 96)" = "$dpi" ] && return 0
  vantora_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  rm -f "$mark"  # never written through a hard link into another prefix
  echo "$dpi" > "$mark"
}

# Makes the prefix $1 afresh from the prepared one: hard links for the
# files Wine never writes (its DLLs), copies of the registry.
vantora_copy_prefix() {
  local prefix="$1" registry
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  cp -al "$WINEPREFIX" "$prefix"
  for registry in "$WINEPREFIX"/*.reg; do
    rm -f "$prefix/${registry##*/}"
    cp "$registry" "$prefix/"
  done
  rm -f "$prefix/.vantora-dpi"
}

# The prefix of one kind of desktop, "$WINEPREFIX-<kind>": dpi<N> is the
# prepared one at N DPI, en the prepared one for an English system locale
# (its own, since Wine writes the locale into the prefix's registry). Made
# unless it is there already; with "afresh", made again.
vantora_make_kind_prefix() {
  local kind="$1" prefix="$WINEPREFIX-$1"
  if [ "${2:-}" != afresh ] && [ "$(cat "$prefix/.vantora-kind" 2>/dev/null)" = "$kind" ]; then
    return 0
  fi
  vantora_copy_prefix "$prefix"
  case "$kind" in
    dpi*) WINEPREFIX="$prefix" vantora_set_dpi "${kind#dpi}" ;;
    en) WINEPREFIX="$prefix" VANTORA_LOCALE="$(vantora_kind_locale en)" vantora_wine cmd /c exit >/dev/null 2>&1 </dev/null || true
        WINEPREFIX="$prefix" wineserver -w ;;
  esac
  echo "$kind" > "$prefix/.vantora-kind"
}

# The Unix locale of a kind of desktop (scripts/wine-run says it again, as
# it does not take these functions).
vantora_kind_locale() {
  case "$1" in en) echo C.UTF-8 ;; *) echo ja_JP.UTF-8 ;; esac
}

# A desktop of one kind beside the others, for the tests of what changes
# with it: display VANTORA_DISPLAY_<kind> and its prefix with a wineserver
# of its own.
vantora_start_kind_desktop() {
  local kind="$1" prefix="$WINEPREFIX-$1" display
  vantora_make_kind_prefix "$kind" afresh
  vantora_new_display display
  export "VANTORA_DISPLAY_$kind=$display"
  WINEPREFIX="$prefix" wineserver -p
  WINEPREFIX="$prefix" DISPLAY="$display" VANTORA_LOCALE="$(vantora_kind_locale "$kind")" \
    vantora_wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  VANTORA_KIND_PREFIXES+=("$prefix")
}

# Keeps one wineserver for all runs, and starts Wine's background services now,
# with their output sent nowhere, so that no later test inherits them (CTest
# would wait for them to close its output pipe).
vantora_start_wineserver() {
  wineserver -p
  vantora_wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Desktops 1 to $1 - 1 beside the current one (desktop 0), so that test
# programs can run side by side without sharing a pointer, a foreground
# window or a window list: desktop N is display VANTORA_DISPLAY_N and the
# prefix "$WINEPREFIX-N" (made afresh) with a wineserver of its own.
vantora_start_desktops() {
  local count="$1" i
  for i in $(seq 1 $((count - 1))); do
    local prefix="$WINEPREFIX-$i" display
    vantora_copy_prefix "$prefix"
    vantora_new_display display
    export "VANTORA_DISPLAY_$i=$display"
    WINEPREFIX="$prefix" wineserver -p
    WINEPREFIX="$prefix" DISPLAY="$display" vantora_wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  done
  export VANTORA_DESKTOPS=$count
}

vantora_cleanup() {
  local i
  for i in $(seq 1 $((VANTORA_DESKTOPS - 1))); do
    WINEPREFIX="$WINEPREFIX-$i" wineserver -k >/dev/null 2>&1 || true
  done
  for prefix in "${VANTORA_KIND_PREFIXES[@]}"; do
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  done
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  for pid in "${VANTORA_XVFB_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
