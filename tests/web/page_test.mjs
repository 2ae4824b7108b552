// The page end to end in headless Chromium, served from 127.0.0.1: what it draws, its settings from the address
// and the sliders, resizing and device pixel ratios, the changed rectangles against a whole put, a browser
// without WebAssembly, and over every page no console error and no request outside the page's origin.
// Usage: node page_test.mjs WEB_DIR SOURCE_DIR. Prints PASS or FAIL for each case; exits 1 on any failure.
import assert from "node:assert/strict";
import path from "node:path";
import { bmpColours, frames, hold, launch, openPage, release, screenshot, serve, sleep } from "./harness.mjs";

const [webDir, sourceDir] = process.argv.slice(2);
const greenColours = bmpColours(path.join(sourceDir, "assets/sheet_green.bmp")).add(0);
const kViewport = { width: 800, height: 450 };
const server = await serve(webDir);
const browser = await launch();
const problems = [];  // over every page
const pages = [];     // of the case running; closed after it, so that no page animates beside the next case
let failures = 0;

async function check(name, body) {
  const started = Date.now();
  try {
    await body();
    console.log(`PASS: ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
  } catch (error) {
    ++failures;
    console.log(`FAIL: ${name}: ${error.message}`);
  }
  for (const page of pages.splice(0)) await page.browserContext().close();
}

async function newPage(viewport = kViewport) {
  const page = await openPage(browser, server.origin, problems, viewport);
  pages.push(page);
  return page;
}

// The page at `query`, once its saver has started; `prepare` runs before the page loads.
async function open(query = "", viewport = kViewport, prepare = null) {
  const page = await newPage(viewport);
  if (prepare) await prepare(page);
  await page.goto(`${server.origin}/${query}`);
  await page.waitForFunction(() => window.quorvel, { polling: 50, timeout: 15000 });
  return page;
}

// Waits up to five seconds for `predicate` to hold in the page; fails saying `what` did not happen.
const within = (page, what, predicate) =>
  page.waitForFunction(predicate, { polling: 50, timeout: 5000 }).catch(() => assert.fail(`${what}: not so`));
const sliders = (page) => page.$$eval("input[type=range]", (all) => all.map((slider) => Number(slider.value)));
const canvasSize = (page) => page.$eval("#display", (c) => [c.width, c.height, c.clientWidth, c.clientHeight]);
// Pixels of the canvas that are not black, read from the canvas itself.
const canvasLit = (page) => page.$eval("#display", (canvas) => {
  const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
  let lit = 0;
  for (let i = 0; i < data.length; i += 4) lit += (data[i] | data[i + 1] | data[i + 2]) !== 0;
  return lit;
});
// Waits until the page has drawn `count` frames from now: a machine too busy for 60 animation frames a second
// draws fewer steps in the same time. The page looks its module's frame call up anew each frame.
async function drawFrames(page, count) {
  await page.evaluate(() => {
    const module = window.quorvel, frame = module._quorvel_frame;
    window.framesDrawn = 0;
    module._quorvel_frame = (time) => {
      const rects = frame(time);
      window.framesDrawn += rects > 0;
      return rects;
    };
  });
  await page.waitForFunction((n) => window.framesDrawn >= n, { polling: 50, timeout: 60000 }, count);
}
const untilLit = (page) => page.waitForFunction(() => {
  const canvas = document.getElementById("display");
  const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
  return data.some((value, i) => i % 4 !== 3 && value !== 0);
}, { polling: 100, timeout: 15000 });

function assertSheetColours(shot) {
  const strangers = [...shot.colours.keys()].filter((rgb) => !greenColours.has(rgb));
  assert.deepEqual(strangers.map((rgb) => rgb.toString(16)), [], "colours that are neither black nor the green sheet's");
}

await check("after two seconds' frames the canvas holds crawler pixels in the green sheet's colours on black, nothing else", async () => {
  const page = await open();
  await drawFrames(page, 120);
  await hold(page);
  const shot = await screenshot(page);
  assert.ok(shot.lit > 0, "no crawler pixel on the screen");
  assertSheetColours(shot);
  assert.deepEqual(await sliders(page), [75, 100, 100], "the sliders' defaults");
  assert.equal(await page.$eval("#size-heading", (e) => e.textContent), "Size");
  assert.equal(await page.$eval("#notice", (e) => e.hidden), true, "the notice is hidden once the saver runs");
  const served = await page.evaluate(async () => [(await fetch("README.txt")).status, (await fetch("quorvel.ico")).status]);
  assert.deepEqual(served, [200, 200], "the README and the icon beside the page");
});

await check("a Japanese browser gets the dialog's Japanese labels", async () => {
  const japanese = (page) => page.evaluateOnNewDocument(() => Object.defineProperty(navigator, "language", { get: () => "ja-JP" }));
  const page = await open("", kViewport, japanese);
  const texts = await page.$$eval("#panel .heading, #panel .low, #fullscreen", (all) => all.map((e) => e.textContent));
  assert.deepEqual(texts, ["Tavrinの大きさ", "小さい", "Tavrinの長さ", "短い", "Tavrinのｽﾋﾟｰﾄﾞ", "遅い", "全画面表示"]);
});

await check("address values within the sliders' ranges are taken, anything else takes the default", async () => {
  const cases = [
    ["?size=abc&length=-5", [75, 100, 100]],
    ["?size=150&length=200&speed=120", [150, 200, 120]],
    ["?size=120.5&length=99.9&speed=50", [120, 99, 50]],  // nearest position, ties to even; a length's integer part
    ["?size=%2076%20&length=&speed=1e2", [76, 100, 100]],
    ["?size=49&length=201&speed=121", [75, 100, 100]],
    ["?size=1e309&length=40000&speed=0x60", [75, 100, 100]],
  ];
  const page = await open();
  for (const [query, expected] of cases) {
    await page.goto(`${server.origin}/${query}`);
    await page.waitForFunction(() => window.quorvel, { polling: 50 });
    assert.deepEqual(await sliders(page), expected, query);
  }
});

await check("?size=150&length=200 lights more of the screen than the defaults after the same time", async () => {
  const lit = [];
  for (const query of ["", "?size=150&length=200"]) {
    const page = await open(query);
    await drawFrames(page, 360);
    await hold(page);
    lit.push((await screenshot(page)).lit);
  }
  assert.ok(lit[1] > 1.3 * lit[0], `lit pixels: defaults ${lit[0]}, larger settings ${lit[1]}`);
});

await check("a slider rebuilds the saver within a frame and survives a reload; full screen; the panel hides", async () => {
  const page = await open("?size=120&speed=90");
  await page.mouse.move(200, 200);
  assert.equal(await page.$eval("#panel", (e) => e.classList.contains("hidden")), false, "the panel shows on a move");
  await page.click("#fullscreen");
  await within(page, "the button goes full screen", () => document.fullscreenElement === document.documentElement);
  await page.click("#fullscreen");
  await within(page, "a second press leaves full screen", () => document.fullscreenElement === null);
  await untilLit(page);
  await page.focus("#size");
  await page.keyboard.press("Home");
  await frames(page, 2);
  // The new saver's crawlers start beyond the corners again.
  assert.equal(await canvasLit(page), 0, "the drawing after the slider moved");
  assert.equal(await page.$eval("#size-value", (e) => e.textContent), "50");
  assert.match(await page.evaluate(() => location.search), /size=50&speed=90/, "the address names the new value");
  await page.evaluate(() => document.activeElement.blur());
  await page.mouse.move(600, 100);  // off the panel, which stays while the pointer rests on it
  await sleep(3.5);
  assert.equal(await page.$eval("#panel", (e) => e.classList.contains("hidden")), true, "the panel after stillness");
  await page.goto(`${server.origin}/`);
  await page.waitForFunction(() => window.quorvel, { polling: 50 });
  assert.deepEqual(await sliders(page), [50, 100, 100], "the stored size after a reload without the address's");
});

await check("a resize and a device pixel ratio of 2 keep the canvas covered and the crawlers twice as large", async () => {
  const page = await open();
  await untilLit(page);
  await sleep(2);
  const bigger = { width: 1000, height: 600 };
  await page.setViewport({ ...bigger, deviceScaleFactor: 1 });
  await frames(page, 2);
  assert.deepEqual(await canvasSize(page), [1000, 600, 1000, 600], "the canvas after the resize");
  assert.ok(await canvasLit(page) > 0, "the crawlers carry on after the resize");
  await hold(page);
  const once = await screenshot(page);
  await page.setViewport({ ...bigger, deviceScaleFactor: 2 });
  await release(page);
  await frames(page, 2);
  await hold(page);
  const twice = await screenshot(page);
  assert.deepEqual(await canvasSize(page), [2000, 1200, 1000, 600], "the canvas at ratio 2: device pixels over the window");
  assert.ok(twice.lit > 3.3 * once.lit && twice.lit < 4.8 * once.lit,
            `lit device pixels at ratio 1: ${once.lit}, at 2: ${twice.lit} (four times as many expected)`);
  assertSheetColours(twice);
});

await check("the canvas, put from changed rectangles, equals the whole frame put", async () => {
  const page = await open();
  await untilLit(page);
  for (let sample = 0; sample < 3; ++sample) {
    await sleep(0.7);
    const differing = await page.$eval("#display", (canvas) => {
      const shown = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
      const module = window.quorvel;
      module._quorvel_repaint();
      const whole = new Uint8Array(module.HEAPU8.buffer, module._quorvel_pixels(), shown.length);
      return shown.reduce((count, value, i) => count + (value !== whole[i]), 0);
    });
    assert.equal(differing, 0, `bytes of the canvas unlike the whole frame, sample ${sample}`);
  }
});

await check("a browser without WebAssembly gets one readable sentence", async () => {
  const page = await newPage();
  await page.evaluateOnNewDocument(() => delete window.WebAssembly);
  await page.goto(`${server.origin}/`);
  const notice = await page.$eval("#notice", (e) => [e.hidden, e.textContent, e.getBoundingClientRect().height > 0]);
  assert.deepEqual(notice, [false, "Quorvel needs a browser that runs WebAssembly, and this one does not.", true]);
});

await check("no console error and no request outside the page's origin, on any page", async () => {
  assert.deepEqual(problems, []);
});

await browser.close();
server.close();
console.log(failures ? `${failures} case(s) failed` : "all cases passed");
process.exit(failures ? 1 : 0);
