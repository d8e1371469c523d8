#!/usr/bin/env bash
# Takes the README's screenshots that show a window other than the one the program opens with,
# from the real program: built in BUILD (default build/), started under an Xvfb of its own over
# a small list in a scratch home, the window opened from its menu and captured with xwd.
#   docs/preview.png   Run > Preview..., on sight, over the list below
#   docs/history.png   Run > History..., one page's times, over the log of two runs
#                      of quillpost --submit-all against a small local service
# usage: docs/screenshots.sh [BUILD]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
program="$build/quillpost-window"
command="$build/quillpost"
for p in "$program" "$command"; do
    [ -x "$p" ] || { echo "screenshots: no $p; build first" >&2; exit 2; }
done
need=()
for p in xvfb xdotool x11-apps imagemagick; do dpkg -s "$p" >/dev/null 2>&1 || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
    apt-get install -y -qq "${need[@]}" >/dev/null 2>&1 \
        || { echo "screenshots: needs ${need[*]}" >&2; exit 2; }
fi
# ImageMagick's own, whatever else is called convert on the PATH.
convert=/usr/bin/convert

scratch=$(mktemp -d)
cleanup() {
    [ -z "${app:-}" ] || kill "$app" 2>/dev/null || true
    [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
    [ -z "${service:-}" ] || kill "$service" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
# A program keeps its list in its own folder when it may write there: a copy of it in the
# scratch folder keeps the build's own list out of the picture.
mkdir -p "$scratch/bin" "$scratch/state" "$scratch/config"
cp "$program" "$scratch/bin/"
cat > "$scratch/bin/submitdata.xml" <<'XML'
<?xml version="1.0"?>
<data>
  <Host URL="http://rpc.pingservice.example/RPC2" body="xml-rpc">
    <param name="name" value="Jane’s Notes"/>
    <param name="url" value="https://notes.janedoe.example/"/>
  </Host>
  <Host URL="http://ping.blogdirectory.example/submit">
    <param name="furl" value="https://notes.janedoe.example/"/>
    <param name="title" value="Jane’s Notes"/>
  </Host>
  <Host URL="https://hub.example.net/" >
    <param name="hub.mode" value="publish"/>
    <param name="hub.url" value="https://notes.janedoe.example/feed.xml"/>
  </Host>
  <Host URL="ftp://ping.oldservice.example/">
    <param name="furl" value="https://notes.janedoe.example/"/>
  </Host>
</data>
XML

# The History's log: two runs of the command line against a service on 127.0.0.1 of its own,
# which thanks for every ping (in XML-RPC's words at /ping) but those to /busy. As the web
# proxy of the runs, it also serves the site notes.janedoe.example, its IndexNow key file and
# its sitemap, which dates one page as written in the second run ($scratch/day): the first run
# records the site as a baseline, the second sends that page.
python3 - "$scratch/port" "$scratch/day" <<'PY' &
import http.server, sys
class Service(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        site = "http://notes.janedoe.example"
        if self.path == site + "/sitemap.xml":
            with open(sys.argv[2]) as f:
                day = f.read().strip()
            kind, status, text = "application/xml", 200, (
                "<?xml version=\"1.0\"?><urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">"
                + "".join("<url><loc>%s%s</loc><lastmod>%s</lastmod></url>" % (site, page, date)
                    for page, date in (("/", "2026-11-30"), ("/posts/first-frost", day),
                        ("/posts/hello", "2026-11-02")))
                + "</urlset>")
        elif self.path == site + "/5f2b8c1d9e7a4b3c.txt":
            kind, status, text = "text/plain", 200, "5f2b8c1d9e7a4b3c"
        elif self.path.startswith(site + "/posts/") or self.path == site + "/":
            kind, status, text = "text/html", 200, "<html><head><title>Notes</title></head></html>"
        else:
            kind, status, text = "text/plain", 404, "Not found"
        text = text.encode()
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(text)))
        self.end_headers()
        self.wfile.write(text)
    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        busy = self.path == "/busy"
        thanks = "Thanks for the ping. Your site is queued and will be crawled within the day."
        if self.path == "/ping":
            kind, text = "text/xml", ("<?xml version=\"1.0\"?><methodResponse><params><param>"
                "<value><struct><member><name>flerror</name><value><boolean>0</boolean></value>"
                "</member><member><name>message</name><value>" + thanks + "</value></member>"
                "</struct></value></param></params></methodResponse>")
        else:
            kind, text = "text/plain", "The queue is full; come back in an hour." if busy else thanks
        text = text.encode()
        self.send_response(503 if busy else 200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(text)))
        self.end_headers()
        self.wfile.write(text)
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Service)
with open(sys.argv[1] + ".new", "w") as f:
    f.write(str(server.server_port))
__import__("os").rename(sys.argv[1] + ".new", sys.argv[1])
server.serve_forever()
PY
service=$!
for _ in $(seq 100); do [ -s "$scratch/port" ] && break; sleep 0.1; done
port=$(cat "$scratch/port")
cat > "$scratch/pings.xml" <<XML
<?xml version="1.0"?>
<data>
  <Host URL="http://127.0.0.1:$port/ping" body="xml-rpc">
    <param name="name" value="Jane’s Notes"/>
    <param name="url" value="https://notes.janedoe.example/"/>
  </Host>
  <Host URL="http://127.0.0.1:$port/submit">
    <param name="furl" value="https://notes.janedoe.example/"/>
  </Host>
  <Host URL="http://127.0.0.1:$port/busy">
    <param name="furl" value="https://notes.janedoe.example/"/>
  </Host>
  <Host URL="http://127.0.0.1:$port/indexnow" body="json" changes="http://notes.janedoe.example/sitemap.xml">
    <param name="host" value="notes.janedoe.example"/>
    <param name="key" value="5f2b8c1d9e7a4b3c"/>
    <param name="keyLocation" value="http://notes.janedoe.example/5f2b8c1d9e7a4b3c.txt"/>
  </Host>
</data>
XML
for day in 2026-11-20 2026-12-08; do
    echo "$day" > "$scratch/day"
    HOME="$scratch" XDG_STATE_HOME="$scratch/state" XDG_CONFIG_HOME="$scratch/config" \
        http_proxy="http://127.0.0.1:$port" no_proxy=127.0.0.1 \
        LANG=C.UTF-8 LANGUAGE= "$command" --submit-all "$scratch/pings.xml" --no-notify \
        >/dev/null 2>&1 || true
done

# A display of its own: Xvfb picks a free number and writes it once it takes clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -br -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
display=":$(cat "$scratch/display")"
export DISPLAY="$display" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LANGUAGE= HOME="$scratch" \
    XDG_STATE_HOME="$scratch/state" XDG_CONFIG_HOME="$scratch/config"

# window TITLE: the id of the program's window of that title, once it is shown.
window() {
    local id
    for _ in $(seq 100); do
        for id in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
            [ "$(xdotool getwindowname "$id")" = "$1" ] && { echo "$id"; return; }
        done
        sleep 0.1
    done
    echo "screenshots: no window \"$1\"" >&2
    exit 1
}
# capture ID FILE
capture() { xwd -silent -id "$1" | "$convert" xwd:- "png:$2"; }

"$scratch/bin/$(basename "$program")" >/dev/null 2>&1 &
app=$!
main=$(window Quillpost)
# No window manager: the keyboard goes to the window under the pointer, and Xvfb's keyboard
# has no Alt a program sees. The Run menu is opened by a click on its title, Preview by its
# letter in the menu.
xdotool mousemove --window "$main" 56 8 click 1
sleep 0.5
xdotool key v
preview=$(window Preview)
# Out of the way of the picture: no tooltip, no row under the pointer.
xdotool mousemove 0 0
# The dry run has worked every row out well before this.
sleep 2
capture "$preview" "$here/preview.png"
echo "wrote $here/preview.png"

# Preview moved off the screen (Escape would reach the main window and end the program),
# History opened by its letter in the Run menu, the page sent in the second run typed into
# its Page field, and the newest post clicked so that its details show the service's message
# and the addresses it carried.
xdotool windowmove "$preview" 2000 0
sleep 0.5
xdotool mousemove --window "$main" 56 8 click 1
sleep 0.5
xdotool key h
history=$(window History)
sleep 1
xdotool mousemove --window "$history" 700 24 click 1
xdotool type --delay 0 "http://notes.janedoe.example/posts/first-frost"
sleep 1
xdotool mousemove --window "$history" 300 64 click 1
xdotool mousemove 0 0
sleep 0.5
capture "$history" "$here/history.png"
echo "wrote $here/history.png"
