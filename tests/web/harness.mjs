// The page's test bench: the built page served from 127.0.0.1 by a static server in this process, headless
// Chromium driven through puppeteer-core, every page watched for console errors and for requests that leave
// its origin, and screenshots read back as pixels.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import zlib from "node:zlib";
import puppeteer from "puppeteer-core";

const kTypes = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".wasm": "application/wasm",
                 ".ico": "image/x-icon", ".txt": "text/plain" };
const kChromiumFlags = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                        "--disable-background-networking", "--disable-component-update", "--disable-sync",
                        "--force-color-profile=srgb", "--lang=en-US"];

export async function serve(root) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://host").pathname);
    const file = path.join(root, path.normalize(name === "/" ? "/index.html" : name));
    fs.readFile(file, (error, body) => {
      response.writeHead(error ? 404 : 200, { "Content-Type": kTypes[path.extname(file)] ?? "application/octet-stream" });
      response.end(error ? "" : body);
    });
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { origin: `http://127.0.0.1:${server.address().port}`, close: () => server.close() };
}

// Debian's Chromium with a fresh profile, which puppeteer makes in a temporary folder and removes at the end.
export function launch() {
  return puppeteer.launch({
    executablePath: process.env.QUORVEL_CHROMIUM || "/usr/bin/chromium", headless: true, args: kChromiumFlags,
  });
}

// A page in a context of its own (storage of its own), whose console errors, uncaught errors and requests to
// anywhere but `origin` go into `problems`.
export async function openPage(browser, origin, problems, viewport) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.on("console", (message) => message.type() === "error" && problems.push(`console error: ${message.text()}`));
  page.on("pageerror", (error) => problems.push(`uncaught: ${error.message}`));
  page.on("request", (request) => {
    if (!request.url().startsWith(`${origin}/`)) problems.push(`request outside the origin: ${request.url()}`);
  });
  await page.setViewport({ deviceScaleFactor: 1, ...viewport });
  return page;
}

export const sleep = (seconds) => new Promise((resolve) => setTimeout(resolve, seconds * 1000));

// Resolves after `count` animation frames of the page.
export function frames(page, count) {
  return page.evaluate((n) => new Promise((resolve) => {
    const next = () => (n-- > 0 ? requestAnimationFrame(next) : resolve());
    next();
  }), count);
}

// An 8-bit RGB or RGBA PNG, not interlaced (what Chromium writes), as { width, height, channels, pixels }.
export function decodePng(png) {
  const width = png.readUInt32BE(16), height = png.readUInt32BE(20), colourType = png[25];
  if (png[24] !== 8 || png[28] !== 0 || (colourType !== 2 && colourType !== 6)) throw new Error("an unexpected PNG");
  const channels = colourType === 6 ? 4 : 3, stride = width * channels, chunks = [];
  for (let at = 8; at < png.length; at += png.readUInt32BE(at) + 12)
    if (png.toString("latin1", at + 4, at + 8) === "IDAT") chunks.push(png.subarray(at + 8, at + 8 + png.readUInt32BE(at)));
  const raw = zlib.inflateSync(Buffer.concat(chunks)), pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)], row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? pixels[y * stride + i - channels] : 0, b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
      const c = i >= channels && y > 0 ? pixels[(y - 1) * stride + i - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predicted = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      pixels[y * stride + i] = (row[i] + predicted) & 0xFF;
    }
  }
  return { width, height, channels, pixels };
}

// Pixels that are not black, and how many of each colour (0xRRGGBB) there are.
export function litPixels(image) {
  const colours = new Map();
  let lit = 0;
  for (let i = 0; i < image.pixels.length; i += image.channels) {
    const rgb = (image.pixels[i] << 16) | (image.pixels[i + 1] << 8) | image.pixels[i + 2];
    if (rgb) ++lit;
    colours.set(rgb, (colours.get(rgb) ?? 0) + 1);
  }
  return { lit, colours };
}

export async function screenshot(page) {
  return litPixels(decodePng(Buffer.from(await page.screenshot({ type: "png" }))));
}

// The colours of a 24-bit bottom-up BMP, such as the sprite sheets.
export function bmpColours(file) {
  const bmp = fs.readFileSync(file), offset = bmp.readUInt32LE(10), width = bmp.readInt32LE(18);
  const height = Math.abs(bmp.readInt32LE(22)), stride = Math.ceil((width * 3) / 4) * 4, colours = new Set();
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x) {
      const at = offset + y * stride + x * 3;
      colours.add((bmp[at + 2] << 16) | (bmp[at + 1] << 8) | bmp[at]);
    }
  return colours;
}

// Screenshots take longer than frames. `hold` lets the page's animation stop after the frame in progress, by
// keeping the callback it asks the next frame for; `release` hands it to the browser again.
export async function hold(page) {
  await page.evaluate(() => {
    window.heldFrame = { ask: window.requestAnimationFrame, callback: null };
    window.requestAnimationFrame = (callback) => { window.heldFrame.callback = callback; return 0; };
  });
  await page.waitForFunction(() => window.heldFrame.callback !== null, { polling: 20 });
}

export function release(page) {
  return page.evaluate(() => {
    window.requestAnimationFrame = window.heldFrame.ask;
    window.requestAnimationFrame(window.heldFrame.callback);
  });
}
