#!/usr/bin/env bash
# Builds the programs and runs them on a sample distribution in a private
# Wine prefix (build/<arch>/sampleprefix). Run as root on Debian 12.
#
# Usage: run-sample.sh [--launcher] [--large] [--menu] [--headless] [--dist PATH]
#   (default)   the whole road: a base game recorded in Information.reg,
#               setup.exe, its confirmation box, the installer chain, the
#               success box
#   --launcher  the base game is known only from the store launcher's
#               registry value "Path" (no Information.reg record)
#   --large     installer.exe alone with the large progress dialog, its
#               background pictures and the finished dialog
#   --menu      setup's menu road, reached as when its confirmation box
#               cannot be shown (setup's main routine in a probe program):
#               menu, target, install location, the installer with the
#               large dialog and the finished dialog, the menu again, 終了
#   --headless  use a virtual screen even when a display is present
#   --dist PATH the publisher's own distribution folder instead of the
#               sample: checked with checkdist first, then copied into the
#               prefix (C:\サンプル\持ち込み配布) and run the same way; the
#               base game is recorded under its AppName; setup.exe and the
#               InstallExecute program are taken from this build when the
#               folder lacks them
#
# With a display the programs are shown and you answer them yourself.
# Without one they run on Xvfb, the window driver answers (はい / OK),
# every state is saved as a screenshot, and the script says where.
# Running it again on the same prefix installs the add-on again.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

road=setup source=record headless=0 own_dist=
while [ $# -gt 0 ]; do
  case "$1" in
    --launcher) source=launcher ;;
    --large) road=large ;;
    --menu) road=menu ;;
    --headless) headless=1 ;;
    --dist) [ $# -ge 2 ] || { echo "run-sample.sh: --dist needs a folder" >&2; exit 2; }; own_dist=$2; shift ;;
    --dist=*) own_dist=${1#--dist=} ;;
    *) echo "run-sample.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
if [ -n "$own_dist" ]; then
  [ -d "$own_dist" ] || { echo "run-sample.sh: $own_dist is not a folder" >&2; exit 2; }
  own_dist=$(cd "$own_dist" && pwd)
fi
[ -n "${DISPLAY:-}" ] || headless=1

if [ $headless = 1 ]; then bash tools/install-deps.sh --screenshots; else bash tools/install-deps.sh; fi

arch=i686 loader=/usr/lib/wine/wine
if ! "$loader" --version >/dev/null 2>&1; then
  echo "note: this machine cannot execute 32-bit code; running the x86_64 build of the same sources"
  arch=x86_64 loader=/usr/lib/wine/wine64
fi
build=$top/build/$arch
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target installer setup drive record_probe
[ $road != menu ] || cmake --build "$build" -j "$(nproc)" --target setup_menu_probe menu_drive
bin=$build/bin

export WINEPREFIX=$build/sampleprefix WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wine() { "$loader" "$@"; }
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null || /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ $headless = 1 ]; then
  for n in $(seq 90 99); do [ -e /tmp/.X$n-lock ] || break; done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

if [ ! -f "$WINEPREFIX/.sample-ready" ]; then
  echo "creating the Wine prefix $WINEPREFIX (about 15 s)"
  wine wineboot -i >/dev/null 2>&1
  # The dialogs ask for "ＭＳ Ｐゴシック": let a free Japanese font stand in for it.
  python3 - "$WINEPREFIX/fonts.reg" <<'EOF'
import sys
lines = ["Windows Registry Editor Version 5.00", "", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
for face in ["ＭＳ Ｐゴシック", "ＭＳ ゴシック", "MS UI Gothic", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma"]:
    lines.append('"%s"="IPAPGothic"' % face)
open(sys.argv[1], "w", encoding="utf-16").write("\r\n".join(lines) + "\r\n")
EOF
  wine regedit /S "$(winpath "$WINEPREFIX/fonts.reg")" >/dev/null 2>&1
  touch "$WINEPREFIX/.sample-ready"
fi
# The real window driver on the display (the tests use the null one); Wine
# draws the window frames itself, as a virtual screen has no window manager.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
if [ $headless = 1 ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
else
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1 || true
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
fi

# The sample distribution: the programs beside cfg\init.ini, the add-on's
# files below gamedata (Shift-JIS names), the variant folders with the extra
# file (2026 for a recorded installation, 633 for one the launcher knows), background pictures with thresholds and the finished-dialog picture.
sample=$WINEPREFIX/drive_c/サンプル
dist=$sample/アドオン配布 dist_win='C:\サンプル\アドオン配布'
# The values the road needs from the configuration; the sample's own here.
app_name=サンプルゲーム caption=追加ボイス disk_dir=gamedata game_exe=game.exe game_uninstall=uninstall.exe
pak=$top/build/native/pak
if [ -n "$own_dist" ]; then
  checkdist=$top/build/native/checkdist
  bash tools/checkdist/build-native.sh "$checkdist"
  echo "== checkdist $own_dist"
  "$checkdist" "$own_dist" || echo "(checkdist reports errors; running it anyway, to show what they do)"
  echo
  dist=$sample/持ち込み配布 dist_win='C:\サンプル\持ち込み配布'
  rm -rf "$dist"
  mkdir -p "$sample"
  cp -a "$own_dist" "$dist"
  values=$("$checkdist" --json "$dist" | python3 -c '
import json, sys
keys = {k["key"]: k["value"] for k in json.load(sys.stdin)["keys"]}
for name in ["AppName", "Caption", "DiskDirectory", "GameExecute", "GameUninstall", "InstallExecute"]:
    print(keys.get(name, ""))
') || true
  { read -r app_name; read -r caption; read -r disk_dir; read -r game_exe; read -r game_uninstall; read -r install_exe; } <<<"$values" || true
  [ -e "$dist/setup.exe" ] || { echo "(no setup.exe in the distribution: this build's is used)"; cp "$bin/setup.exe" "$dist/"; }
  if [ -n "${install_exe:-}" ] && [ ! -e "$dist/$(printf '%s' "$install_exe" | tr '\\' /)" ]; then
    echo "(no $install_exe in the distribution: this build's installer.exe is used)"
    cp "$bin/installer.exe" "$dist/$(printf '%s' "$install_exe" | tr '\\' /)" || true
  fi
else
mkdir -p "$dist/cfg" "$dist/gamedata/音声" "$dist/gamedata/設定" "$dist/2026" "$dist/633" "$dist/615" "$dist/pictures"
cp "$bin/setup.exe" "$bin/installer.exe" "$dist/"
iconv -f UTF-8 -t CP932 tools/sample-init.ini > "$dist/cfg/init.ini"
# voice2.pak is a real archive, built by the publisher's tool from a voice folder.
bash tools/pak/build-native.sh "$pak"
voices=$top/build/$arch/sample-voice2
if [ ! -f "$dist/gamedata/voice2.pak" ] || ! "$pak" verify "$dist/gamedata/voice2.pak" >/dev/null 2>&1; then
  mkdir -p "$voices/ボイス"
  for n in 1 2 3 4; do
    [ -f "$voices/ボイス/表情0$n.ogg" ] || head -c $((64 << 20)) /dev/urandom > "$voices/ボイス/表情0$n.ogg"
  done
  printf 'voice2 sample archive\r\n' > "$voices/readme.txt"
  "$pak" create "$dist/gamedata/voice2.pak" "$voices"
fi
for n in 1 2 3; do
  [ -f "$dist/gamedata/音声/キャラ0$n.ogg" ] || head -c $((32 << 20)) /dev/urandom > "$dist/gamedata/音声/キャラ0$n.ogg"
done
printf '[voice]\r\nvolume=80\r\n' > "$dist/gamedata/設定/voice.ini"
printf 'full voice edition\r\n' > "$dist/gamedata/FULL"
printf 'サンプルの追加ボイスです。\r\n' | iconv -f UTF-8 -t CP932 > "$dist/gamedata/readme.txt"
for variant in 2026 633 615; do
  printf 'the game program of the %s edition\r\n' $variant > "$dist/$variant/game.exe"
done
for n in 1 2 3; do
  [ -f "$dist/pictures/back$n.bmp" ] || python3 tools/make-art.py "$dist/pictures/back$n.bmp" 800 600 band $((n - 1))
done
[ -f "$dist/pictures/finished.bmp" ] || python3 tools/make-art.py "$dist/pictures/finished.bmp" 250 344 band 3
fi

# The base game already installed, as setup will find it.
game_win='C:\サンプル\ゲーム本体'
game=$sample/ゲーム本体
launcher_key='HKLM\SOFTWARE\Wow6432Node\DMM GAMES\Launcher\gp_rk5t0w2n' reg_view=/reg:64
if [ $arch = i686 ]; then launcher_key='HKLM\SOFTWARE\DMM GAMES\Launcher\Content\gp_rk5t0w2n' reg_view=/reg:32; fi
if [ $source = launcher ]; then
  game_win='C:\サンプル\ランチャー版'
  game=$sample/ランチャー版
fi
mkdir -p "$game"
[ -f "$game/game.exe" ] || printf 'the base game\r\n' > "$game/game.exe"
info=$(find "$WINEPREFIX/drive_c/users" -path '*Pellin/SetupInformation/Information.reg' 2>/dev/null | head -1)
if [ $source = launcher ]; then
  [ -z "$info" ] || rm -f "$info"
  wine reg add "$launcher_key" /v Path /d "$game_win" /f $reg_view >/dev/null
else
  wine reg delete "$launcher_key" /f $reg_view >/dev/null 2>&1 || true
  wine "$bin/record_probe.exe" "$app_name" "$game_win" "$game_win\\game.exe"
fi

# The menu road installs into the low-resolution edition, recorded under its
# own name; the add-on is taken away first, so the edition can be chosen again.
if [ $road = menu ]; then
  cp "$bin/setup_menu_probe.exe" "$dist/"
  game_win='C:\サンプル\低解像度版'
  game=$sample/低解像度版
  mkdir -p "$game"
  [ -f "$game/game.exe" ] || printf 'the low-resolution edition\r\n' > "$game/game.exe"
  rm -f "$game/voice2.pak"
  wine "$bin/record_probe.exe" 'ケルナディア(低解像度版)' "$game_win" "$game_win\\game.exe"
fi

stamp=$(date +%Y%m%d-%H%M%S)
shots=$build/sample-shots/$stamp
transcript=$shots/transcript.txt
cd "$dist"
if [ $road = menu ]; then
  program=(setup_menu_probe.exe)
elif [ $road = large ]; then
  program=(installer.exe t "$app_name" "$dist_win\\$disk_dir" "$game_win" "$game_exe" "$game_uninstall" f f f 0 0)
else
  program=(setup.exe)
fi
if [ $headless = 1 ]; then
  mkdir -p "$shots"
  echo "running ${program[0]} on a virtual screen; the window driver answers"
  status=0
  if [ $road = menu ]; then
    wine "$bin/menu_drive.exe" "$(winpath "$shots")" "$(winpath "$transcript")" -- \
         "$dist_win\\${program[0]}" || status=$?
  else
  wine "$bin/drive.exe" --shots "$(winpath "$shots")" --transcript "$(winpath "$transcript")" --timeout 600000 \
       --answer "$app_name$caption||6" --answer '正常終了||1' \
       --answer "$app_name インストール|ゲームのセットアップ|1" \
       -- "$dist_win\\${program[0]}" "${program[@]:1}" || status=$?
  fi
  for f in "$shots"/*.bmp; do
    [ -e "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
  done
  [ ! -f "$shots/shots.txt" ] || { iconv -f CP932 -t UTF-8 "$shots/shots.txt" | sed 's/\.bmp/.png/' > "$shots/index.txt"; rm -f "$shots/shots.txt"; }
  if [ -f "$transcript" ]; then
    iconv -f CP932 -t UTF-8 "$transcript" > "$transcript.utf8" && mv "$transcript.utf8" "$transcript"
  fi
  if [ $status != 0 ]; then
    echo "the run did not end as expected (drive.exe exit code $status); transcript: $transcript" >&2
  fi
else
  echo "running ${program[0]}; answer its windows"
  wine "${program[@]}"
  status=0
fi
cd "$top"

target=$game
[ ! -d "$game/data" ] || target=$game/data
echo
echo "== installed below $target"
(cd "$target" && find . -type f -printf '%10s  %P\n' | sort -k2)
echo
echo "== voice2.pak as installed"
[ ! -f "$target/voice2.pak" ] || "$pak" list "$target/voice2.pak"
echo
echo "== Information.reg"
info=$(find "$WINEPREFIX/drive_c/users" -path '*Pellin/SetupInformation/Information.reg' 2>/dev/null | head -1)
python3 - "$info" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read() if sys.argv[1] else b""
if len(data) < 4:
    print("(none)")
    sys.exit(0)
count = struct.unpack_from("<I", data)[0]
field = lambda b: b.split(b"\0", 1)[0].decode("cp932", "replace")
for i in range(min(count, (len(data) - 4) // 1044)):
    r = data[4 + i * 1044: 4 + (i + 1) * 1044]
    names = ["name", "folder", "program", "uninstaller"]
    print("record %d: " % (i + 1) + ", ".join("%s=%s" % (n, field(r[k * 260:(k + 1) * 260])) for k, n in enumerate(names))
          + ", flag=%d" % struct.unpack_from("<I", r, 1040)[0])
EOF
echo
echo "== uninstall.ini"
if [ -f "$game/uninstall.ini" ]; then iconv -f CP932 -t UTF-8 "$game/uninstall.ini" | tr -d '\r'; else echo "(none)"; fi
if [ $headless = 1 ]; then
  echo
  echo "== screenshots of every state: $shots (index.txt names them; transcript.txt has the texts)"
fi
exit $status
