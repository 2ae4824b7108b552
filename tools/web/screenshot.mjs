// A picture of the page as headless Chromium shows it, for the README: 960 x 540, the crawlers after
// SECONDS (default 25) at the default settings, then the panel called up by a pointer move.
// Usage: node screenshot.mjs WEB_DIR OUT.png [SECONDS]; serves WEB_DIR itself from 127.0.0.1.
import { spawn } from "node:child_process";
import { createRequire } from "node:module";
import path from "node:path";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const puppeteer = createRequire(path.join(here, "../../tests/web/package.json"))("puppeteer-core");
const [webDir, out, seconds = "25"] = process.argv.slice(2);
if (!out) throw new Error("usage: node screenshot.mjs WEB_DIR OUT.png [SECONDS]");

// Python's static server, as scripts/web.sh serves the page; it says where once it listens.
const server = spawn("python3", ["-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", webDir]);
const port = await new Promise((resolve, reject) => {
  server.stdout.on("data", (text) => { const m = /port (\d+)/.exec(text); if (m) resolve(m[1]); });
  server.once("exit", () => reject(new Error("the static server ended")));
});
const browser = await puppeteer.launch({
  executablePath: process.env.QUORVEL_CHROMIUM || "/usr/bin/chromium", headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--lang=en-US"],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 960, height: 540, deviceScaleFactor: 1 });
  await page.goto(`http://127.0.0.1:${port}/`);
  await page.waitForFunction(() => window.quorvel, { polling: 100 });
  await new Promise((resolve) => setTimeout(resolve, Number(seconds) * 1000));
  await page.mouse.move(480, 270);
  await page.mouse.move(500, 300);
  await page.waitForFunction(() => !document.getElementById("panel").classList.contains("hidden"));
  await new Promise((resolve) => setTimeout(resolve, 600));  // the panel's fade
  await page.screenshot({ path: out });
  console.log(`${out}: the page after ${seconds} s, with its panel`);
} finally {
  await browser.close();
  server.kill();
}
