// What presenting costs the page, for the record: the processor time of the whole headless Chromium (every one
// of its processes) while the page runs at 1920 x 1080, then, in the same browser and tab, while floor.html puts
// the whole canvas each frame through the same module, and while it puts one pixel a frame (what the browser
// spends on any canvas that changes each frame); the frames each put per second, and the ratios. It asserts
// nothing. Usage: node measure_page.mjs WEB_DIR [WARM_SECONDS] [SECONDS]; tools/measure_present_web.sh runs it.
import fs from "node:fs";
import http from "node:http";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
// puppeteer-core is installed once, for the page's tests, by scripts/setup.sh.
const puppeteer = createRequire(path.join(here, "../../tests/web/package.json"))("puppeteer-core");
const [webDir, warm = "10", seconds = "10"] = process.argv.slice(2);
const kWidth = 1920, kHeight = 1080;
const ticksPerSecond = 100;  // USER_HZ, what /proc reports processor time in on Linux

// build/web, and floor.html beside it from this folder.
const server = http.createServer((request, response) => {
  const name = new URL(request.url, "http://host").pathname;
  const file = name === "/floor.html" ? path.join(here, "floor.html")
                                      : path.join(webDir, path.normalize(name === "/" ? "/index.html" : name));
  const type = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" }[path.extname(file)];
  fs.readFile(file, (error, body) => {
    response.writeHead(error ? 404 : 200, { "Content-Type": type ?? "application/octet-stream" });
    response.end(error ? "" : body);
  });
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

// User and system time of a process and all its descendants, in ticks.
function treeTicks(root) {
  const parents = new Map(), ticks = new Map();
  for (const entry of fs.readdirSync("/proc").filter((name) => /^\d+$/.test(name))) {
    try {
      const fields = fs.readFileSync(`/proc/${entry}/stat`, "latin1").replace(/^.*\) /, "").split(" ");
      parents.set(Number(entry), Number(fields[1]));
      ticks.set(Number(entry), Number(fields[11]) + Number(fields[12]));
    } catch {
      // ended meanwhile
    }
  }
  const inTree = (pid) => pid === root || (parents.has(pid) && pid > 1 && inTree(parents.get(pid)));
  return [...ticks].reduce((sum, [pid, t]) => sum + (inTree(pid) ? t : 0), 0);
}

const sleep = (s) => new Promise((resolve) => setTimeout(resolve, s * 1000));

// Percent of one core the browser used, and frames put per second, over `seconds` after `warm` seconds.
async function measure(page, url, framesPut) {
  await page.goto(url);
  await page.waitForFunction(framesPut, { polling: 100, timeout: 20000 });
  await sleep(Number(warm));
  const pid = page.browser().process().pid;
  const [ticks0, frames0, t0] = [treeTicks(pid), await page.evaluate(framesPut), performance.now()];
  await sleep(Number(seconds));
  const [ticks1, frames1, t1] = [treeTicks(pid), await page.evaluate(framesPut), performance.now()];
  const elapsed = (t1 - t0) / 1000;
  return { cpu: (100 * (ticks1 - ticks0)) / ticksPerSecond / elapsed, rate: (frames1 - frames0) / elapsed };
}

const browser = await puppeteer.launch({
  executablePath: process.env.QUORVEL_CHROMIUM || "/usr/bin/chromium", headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", `--window-size=${kWidth},${kHeight}`],
});
const page = await browser.newPage();
await page.setViewport({ width: kWidth, height: kHeight, deviceScaleFactor: 1 });
// The page's frames are counted by wrapping the module's frame call, which the page looks up on each call.
await page.evaluateOnNewDocument(() => {
  if (location.pathname !== "/") return;
  window.pageFrames = 0;
  const wrap = setInterval(() => {
    if (!window.quorvel) return;
    clearInterval(wrap);
    const frame = window.quorvel._quorvel_frame;
    window.quorvel._quorvel_frame = (time) => {
      const count = frame(time);
      if (count > 0) ++window.pageFrames;
      return count;
    };
  }, 10);
});
const saver = await measure(page, `${origin}/`, () => window.pageFrames);
const floor = await measure(page, `${origin}/floor.html`, () => window.floorFrames);
const pixel = await measure(page, `${origin}/floor.html?pixel`, () => window.floorFrames);
await browser.close();
server.close();

const line = (name, m, what) => `${name}${m.cpu.toFixed(1)}% of a core, ${m.rate.toFixed(1)} ${what} a second`;
console.log(`${os.cpus().length} processors; ${kWidth} x ${kHeight}, ${warm} s warm-up, ${seconds} s measured`);
console.log(line("page:        ", saver, "frames put"));
console.log(line("floor:       ", floor, "whole frames put"));
console.log(line("one pixel:   ", pixel, "frames of one pixel put"));
console.log(`page/floor: ${(saver.cpu / floor.cpu).toFixed(3)} (a canvas changing one pixel a frame: ` +
            `${(pixel.cpu / floor.cpu).toFixed(3)})`);
// What the page and the floor cost beyond that: the browser composites a changed canvas whatever changed in it.
console.log(`beyond one pixel, page/floor: ${((saver.cpu - pixel.cpu) / (floor.cpu - pixel.cpu)).toFixed(3)}`);
