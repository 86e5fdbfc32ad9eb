# Shared Wine set-up for the build's wrapper and for tools/run: source it and call
# tesmar_wine_env BUILD_DIR. It exports the environment, creates the prefix once (under a lock,
# so parallel tests wait for one another), starts a persistent wineserver and, when there is no
# DISPLAY, one Xvfb shared by the whole run (its display number is kept in BUILD_DIR/xvfb.display).

tesmar_start_xvfb() {
  local build=$1 state="$1/xvfb.display" pidfile="$1/xvfb.pid"
  if [ -s "$state" ] && [ -s "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    DISPLAY=$(cat "$state"); export DISPLAY; return 0
  fi
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  # 1920x1080 with 24-bit colour; -displayfd picks a free display number.
  setsid Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  local pid=$!
  local num; read -r num <"$fifo"; rm -f "$fifo"
  echo "$pid" >"$pidfile"
  echo ":$num" >"$state"
  DISPLAY=":$num"; export DISPLAY
}

tesmar_wine_prefix_init() {
  local prefix=$1
  [ -f "$prefix/.tesmar-ready" ] && return 0
  rm -rf "$prefix"
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w || true
  # A Japanese Windows has Japanese faces for menus and dialogs; map the faces Wine asks for
  # to the installed IPA Gothic so menus and controls show Japanese text.
  local reg="$prefix/tesmar-fonts.reg"
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Shell Dlg"="IPAGothic"
"MS Shell Dlg 2"="IPAGothic"

REG
  /usr/lib/wine/wine64 regedit /S "$(winepath_w "$reg")" >/dev/null 2>&1 || /usr/lib/wine/wine64 regedit "$reg" >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w || true
  touch "$prefix/.tesmar-ready"
}

# The stand-in CAD program (standins/cad) registers its running object under this class id;
# the prefix maps the default target ProgID to it, as an installed CAD program would.
TESMAR_CAD_STANDIN_CLSID='{6A3F1C52-7B7E-4C1E-9D2B-5C0A3E7F9B41}'

tesmar_wine_register_cad() {
  local prefix=$1
  [ -f "$prefix/.tesmar-cad-registered" ] && return 0
  local reg="$prefix/tesmar-cad.reg"
  cat >"$reg" <<REG
REGEDIT4

[HKEY_CLASSES_ROOT\BricscadApp.AcadApplication]
@="CAD stand-in application"

[HKEY_CLASSES_ROOT\BricscadApp.AcadApplication\CLSID]
@="$TESMAR_CAD_STANDIN_CLSID"

[HKEY_CLASSES_ROOT\CLSID\$TESMAR_CAD_STANDIN_CLSID]
@="CAD stand-in application"

[HKEY_CLASSES_ROOT\CLSID\$TESMAR_CAD_STANDIN_CLSID\ProgID]
@="BricscadApp.AcadApplication"
REG
  # The keys are visible to every process at once through the running wineserver.
  /usr/lib/wine/wine64 regedit /S "$(winepath_w "$reg")" >/dev/null 2>&1 || true
  touch "$prefix/.tesmar-cad-registered"
}

# Xvfb has no window manager: Wine draws the title bars and frames itself, so screenshots show
# the windows' captions as Windows would.
tesmar_wine_draw_frames() {
  local prefix=$1
  [ -f "$prefix/.tesmar-frames" ] && return 0
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
  touch "$prefix/.tesmar-frames"
}

# Without a window manager (Xvfb), Wine's X11 driver waits up to 2 s for one each time a
# window of its own is hidden or withdrawn, as nothing answers; a test closes dozens of forms.
# Windows that Wine itself manages (Managed=N) are placed, stacked and given the keyboard focus
# by Wine, as Windows does, with no wait. Under a window manager (a desktop's display) the
# windows stay its own. The marker keeps the value set, so a prefix follows a change of display.
tesmar_wine_window_manager() {
  local prefix=$1 managed=N
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then managed=Y; fi
  [ "$(cat "$prefix/.tesmar-managed" 2>/dev/null)" = "$managed" ] && return 0
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1 || true
  echo "$managed" >"$prefix/.tesmar-managed"
}

# Wine links the user's Desktop, Documents and the like to the Unix home folder. Make them
# ordinary folders of the prefix, so that nothing a program or a test does (the folder chooser
# opens on the Desktop) reaches into the home folder.
tesmar_wine_private_folders() {
  local link
  for link in "$1"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos,Templates}; do
    if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
  done
}

# Windows has Tahoma, the face of the program's small fields; without it Wine draws them in
# IPA Gothic, whose underscore falls below the line ("配管_継手" shows as "配管 継手"). Debian's
# fonts-wine has Wine's own Tahoma: the prefix's font folder makes it visible to the programs,
# and the font link gives Tahoma and the other Latin UI faces IPA Gothic's Japanese glyphs, as
# a Japanese Windows links them to its Japanese face. (A link names the font file alone: Wine
# does not match the face name "IPAGothic" under a Japanese locale.)
tesmar_wine_fonts() {
  local prefix=$1 fonts="$1/drive_c/windows/Fonts" f
  [ -f "$prefix/.tesmar-fonts" ] && return 0
  for f in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf; do
    if [ -f "$f" ]; then mkdir -p "$fonts"; cp "$f" "$fonts/"; fi
  done
  # "ipag.ttf" as a multi-string; a REGEDIT4 file holds its characters as single bytes.
  local reg="$prefix/tesmar-fontlink.reg" ipag='hex(7):69,70,61,67,2e,74,74,66,00,00'
  cat >"$reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Tahoma"=$ipag
"Segoe UI"=$ipag
"Microsoft Sans Serif"=$ipag
REG
  /usr/lib/wine/wine64 regedit /S "$(winepath_w "$reg")" >/dev/null 2>&1 || true
  touch "$prefix/.tesmar-fonts"
}

winepath_w() { echo "Z:${1//\//\\}"; }

tesmar_wine_env() {
  local build=$1
  mkdir -p "$build"
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  # Wine takes its code page from LC_ALL even when glibc has no such locale; keep bash quiet.
  export LC_ALL=ja_JP.UTF-8 2>/dev/null
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  # No Mono/Gecko installers, no desktop menu entries.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Programs started here must not inherit the lock's descriptor (9>&-), or the lock would
  # live as long as Xvfb or the wineserver.
  (
    flock 9
    if [ -z "${DISPLAY:-}" ]; then tesmar_start_xvfb "$build" 9>&-; fi
    # A set-up step that runs a Wine program leaves a wineserver of its own that ends a few
    # seconds later: it is waited for below, before one is made persistent.
    local made=0
    for marker in .tesmar-ready .tesmar-cad-registered .tesmar-frames .tesmar-fonts; do
      [ -f "$WINEPREFIX/$marker" ] || made=1
    done
    tesmar_wine_prefix_init "$WINEPREFIX" 9>&-
    tesmar_wine_register_cad "$WINEPREFIX" 9>&-
    tesmar_wine_draw_frames "$WINEPREFIX" 9>&-
    tesmar_wine_fonts "$WINEPREFIX" 9>&-
    local before; before=$(cat "$WINEPREFIX/.tesmar-managed" 2>/dev/null || true)
    tesmar_wine_window_manager "$WINEPREFIX" 9>&-
    [ "$(cat "$WINEPREFIX/.tesmar-managed")" = "$before" ] || made=1
    tesmar_wine_private_folders "$WINEPREFIX"
    # Drive Y: is a folder of the build, so that a test can register a drive's root.
    mkdir -p "$build/drive-y"
    [ -e "$WINEPREFIX/dosdevices/y:" ] || ln -s "$build/drive-y" "$WINEPREFIX/dosdevices/y:"
    # One persistent wineserver for the whole run. `wineserver -p` makes none while another
    # server still runs (it only says so), and that one ends soon after: the set-up's own server
    # is waited for first. When this call started the persistent one, start Wine's system
    # services now with no terminal attached: services started by a test would hold the test's
    # output pipe open after it ends, and ctest would wait for them.
    # A persistent server of an earlier run never ends and serves the set-up itself, so the
    # wait is bounded.
    if [ "$made" = 1 ]; then timeout 20 /usr/lib/wine/wineserver -w 9>&- || true; fi
    if /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
      /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 9>&- || true
    fi
    flock -u 9
  ) 9>"$build/.wine-setup.lock"
  if [ -z "${DISPLAY:-}" ]; then DISPLAY=$(cat "$build/xvfb.display"); export DISPLAY; fi
}

# Stops what tesmar_wine_env started for BUILD_DIR. Wine takes only an absolute WINEPREFIX
# (with a relative one `wineserver -k` ends at once and the server lives on).
tesmar_wine_stop() {
  local build
  build=$(cd "$1" 2>/dev/null && pwd) || return 0
  WINEPREFIX="$build/wineprefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  if [ -s "$build/xvfb.pid" ]; then kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true; rm -f "$build/xvfb.pid" "$build/xvfb.display"; fi
}
