#!/usr/bin/env bash
# Runs the assembled Linux program under Xvfb against the local dictionary
# server and drives it from outside, as a learner would: double-click a bank,
# tick the options, start, ask for a hint with F2 (a key grabbed on the whole
# display), type the answer and press Enter, close the summary. Then checks
# the report, the pronunciation cache, the requests the server saw and the
# pixels of the screenshots, which stay in the screenshot folder.
#   xvfb_program_test.sh <vorbelzoz executable> <source folder> <screenshot folder>
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
    # ---- Under Xvfb: drive the program --------------------------------
    program_folder=$2
    shots=$3
    fail() {
        echo "FAIL: $*" >&2
        import -window root "$shots/failure.png" || true
        exit 1
    }
    "$program_folder/vorbelzoz" 2>"$shots/program.log" &
    program_pid=$!
    trap 'kill "$program_pid" 2>/dev/null || true' EXIT

    # There is no window manager: windows sit where the program puts them,
    # and the geometry xdotool gives is that of the client area.
    bank=$(timeout 30 xdotool search --sync --onlyvisible --name '^选择词库$' | head -n1) ||
        fail "the word-bank window did not open"
    # The application icon compiled into the program, 256 px, for the task
    # bar and the title bar.
    xprop -len 16 -id "$bank" -f _NET_WM_ICON 32c ' = $0x$1' _NET_WM_ICON | grep -q ' = 256x256$' ||
        fail "the window has no application icon"
    sleep 1
    import -window root "$shots/bank_window.png"
    eval "$(xdotool getwindowgeometry --shell "$bank")"
    # The first row of the list: list at (6, 27), below its header.
    xdotool mousemove $((X + 40)) $((Y + 27 + 31)) click --repeat 2 --delay 120 1

    main=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vorbelzoz' | head -n1) ||
        fail "the main window did not open after the double-click"
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$main")"
    main_x=$X
    main_y=$Y
    click_at() { xdotool mousemove $((main_x + $1)) $((main_y + $2)) click 1; sleep 0.3; }
    xdotool windowfocus --sync "$main"
    click_at 18 44   # 词意: meanings, the window widens
    click_at 69 44   # 拼写: spelling
    click_at 170 44  # 音标: phonetic symbols
    click_at 218 44  # 提示: hint
    import -window root "$shots/main_window_options.png"
    click_at 284 44  # 开始

    for _ in $(seq 100); do
        [ -f "$program_folder/mp3/ice_cream.mp3" ] && break
        sleep 0.2
    done
    [ -f "$program_folder/mp3/ice_cream.mp3" ] || fail "the pronunciation was not cached"
    sleep 1.5
    xdotool key F2  # the hint, whichever window has the focus
    sleep 1
    import -window root "$shots/main_window_word.png"

    xdotool windowfocus --sync "$main"
    click_at 292 244  # the answer box
    xdotool type --delay 60 'ice cream'
    xdotool key Return

    box=$(timeout 30 xdotool search --sync --onlyvisible --name '^信息：$' | head -n1) ||
        fail "the summary box did not appear"
    sleep 1
    import -window root "$shots/summary_box.png"
    xdotool windowfocus --sync "$box"
    xdotool key Return
    for _ in $(seq 50); do
        [ -f "$program_folder/日志/报告冰淇淋.txt" ] && break
        sleep 0.2
    done
    sleep 0.5
    import -window root "$shots/main_window_after.png"
    echo "$main_x $main_y" >"$shots/main_window_position"
    exit 0
fi

# ---- Outside: prepare, run under Xvfb, check -----------------------------
executable=$1
source_folder=$2
shots=$3
mkdir -p "$shots"
rm -f "$shots"/*.png "$shots/main_window_position"
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A program folder with Chinese in its path, as a learner's may have.
program_folder="$work/练习"
mkdir -p "$program_folder"/{单词表,音效,mp3,日志}
cp "$executable" "$program_folder/"
cp "$source_folder"/data/音效/*.wav "$program_folder/音效/"
printf 'ice cream\r\n' >"$program_folder/单词表/冰淇淋.txt"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 "$source_folder/tests/e2e/dict_server.py" --port "$port" --log "$work/server.log" >"$work/server.out" &
server_pid=$!
for _ in $(seq 50); do
    grep -q '^ready' "$work/server.out" 2>/dev/null && break
    sleep 0.1
done
printf 'dictionary=127.0.0.1:%s\r\nspeech=127.0.0.1:%s\r\n' "$port" "$port" >"$program_folder/vorbelzoz.ini"

python3 "$source_folder/tests/support/private_display.py" --screen 1280x1024x24 -- \
    "$0" --inside "$program_folder" "$shots"

python3 - "$program_folder" "$work/server.log" "$shots" <<'EOF'
import json, os, re, subprocess, sys

program_folder, server_log, shots = sys.argv[1:4]
failures = []

def check(condition, message):
    if not condition:
        failures.append(message)

report_path = os.path.join(program_folder, "日志", "报告冰淇淋.txt")
report = open(report_path, "rb").read().decode("gbk") if os.path.exists(report_path) else ""
check(report.startswith("答题范围：冰淇淋.txt\r\n共答题：1\r\n正确率:100%\r\n错误次数:0\r\n求助了：1\r\n"),
      "report: " + repr(report))

mp3 = os.path.join(program_folder, "mp3")
check(os.path.getsize(os.path.join(mp3, "ice_cream.mp3")) == 8 * 417, "the cached MP3 is not the served one")
check(not os.path.exists(os.path.join(mp3, "ice cream.mp3")), "the download name was not moved to the cache name")

requests = [json.loads(line) for line in open(server_log, encoding="utf-8") if line.strip()]
pages = [r for r in requests if r["target"] == "/ice cream"]
speech = [r for r in requests if r["target"].startswith("/text2audio?")]
check(len(pages) == 1, "dictionary requests: %r" % [r["raw_line"] for r in requests])
for r in pages + speech:
    check(r["version"] == "HTTP/1.0", "version: " + r["raw_line"])
    check(r["headers"].get("User-Agent") == "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
          "user agent: %r" % r["headers"])
    check(r["headers"].get("Accept") == "*/*", "accept: %r" % r["headers"])
check(pages and pages[0]["raw_line"] == "GET /ice cream HTTP/1.0", "raw request line with the blank")
check([r["raw_line"] for r in speech] == ["GET /text2audio?lan=uk&pid=101&ie=UTF-8&text=ice cream&spd=2 HTTP/1.0"],
      "speech requests: %r" % [r["raw_line"] for r in speech])

# Pixels of a client-area rectangle of the main window in a screenshot.
x0, y0 = map(int, open(os.path.join(shots, "main_window_position")).read().split())
def pixels(shot, left, top, width, height):
    text = subprocess.run(["convert", os.path.join(shots, shot), "-crop",
                           "%dx%d+%d+%d" % (width, height, x0 + left, y0 + top), "+repage", "txt:-"],
                          capture_output=True, text=True, check=True).stdout
    return [tuple(int(v) for v in m.groups()) for m in re.finditer(r"\((\d+),(\d+),(\d+)", text)]

def count(found, test):
    return sum(1 for p in found if test(*p))

blue = count(pixels("main_window_word.png", 8, 64, 568, 72), lambda r, g, b: b > 180 and r < 90 and g < 90)
check(blue > 40, "phonetic box: %d blue pixels" % blue)
meaning_ink = count(pixels("main_window_word.png", 584, 3, 352, 488), lambda r, g, b: r + g + b < 300)
check(meaning_ink > 100, "meanings view: %d dark pixels" % meaning_ink)
word_ink = count(pixels("main_window_word.png", 8, 135, 568, 40), lambda r, g, b: r + g + b < 300)
check(word_ink > 60, "spelling label: %d dark pixels" % word_ink)
hint_ink = count(pixels("main_window_word.png", 8, 176, 568, 40), lambda r, g, b: r + g + b < 300)
check(hint_ink > 60, "hint label: %d dark pixels" % hint_ink)

for failure in failures:
    print("FAIL:", failure)
print("screenshots in", shots)
sys.exit(1 if failures else 0)
EOF
