// The page around the saver's module: starts it on the canvas, puts what changed each animation frame, and
// keeps the canvas the window's size in device pixels. The settings come from the address, else from what the
// panel stored last, else the defaults; the module reads and bounds them as the settings file's values are read.
(function () {
  "use strict";

  const kSettings = ["size", "length", "speed"];  // in the module's order
  const kPanelSeconds = 3;  // the panel hides after this long without the pointer moving
  const kTexts = {
    en: {
      size: ["Size", "Small", "Large"], length: ["Length", "Short", "Long"], speed: ["Speed", "Slow", "Fast"],
      fullscreen: "Full screen", readme: "README",
      noWasm: "Quorvel needs a browser that runs WebAssembly, and this one does not.",
      failed: "Quorvel could not be started in this browser.",
    },
    ja: {
      size: ["Tavrinの大きさ", "小さい", "大きい"], length: ["Tavrinの長さ", "短い", "長い"],
      speed: ["Tavrinのｽﾋﾟｰﾄﾞ", "遅い", "速い"], fullscreen: "全画面表示", readme: "README",
      noWasm: "このブラウザーは WebAssembly を実行できないため、Quorvel を表示できません。",
      failed: "このブラウザーでは Quorvel を開始できませんでした。",
    },
  };
  const texts = /^ja\b/i.test(navigator.language || "") ? kTexts.ja : kTexts.en;
  const byId = (id) => document.getElementById(id);
  const notice = byId("notice");
  const say = (text) => { notice.textContent = text; notice.hidden = false; };

  // The canvas, sized to the window in device pixels, and the module's pixels put on it.
  class Display {
    constructor(module, canvas) {
      this.module = module;
      this.canvas = canvas;
      this.context = canvas.getContext("2d", { alpha: false });
      this.device = Display.deviceSize();
      this.image = null;  // ImageData over the module's pixels, remade when they move or change size
    }

    static deviceSize() {
      const ratio = window.devicePixelRatio || 1;
      return { width: Math.round(window.innerWidth * ratio), height: Math.round(window.innerHeight * ratio), ratio };
    }

    // A new saver with these slider positions; false when the module cannot make one.
    start(positions) {
      const { width, height, ratio } = this.device;
      if (!this.module._quorvel_start(width, height, ratio, ...positions)) return false;
      this.fit();
      return true;
    }

    // A new size is taken with the frame, which the module then presents whole.
    frame(time) {
      const count = this.module._quorvel_frame(time);
      if (count > 0) this.fit();
      this.put(count);
    }
    repaint() { this.put(this.module._quorvel_repaint()); }

    resize() {
      const now = Display.deviceSize(), before = this.device;
      if (now.width === before.width && now.height === before.height && now.ratio === before.ratio) return;
      this.device = now;
      this.module._quorvel_resize(now.width, now.height, now.ratio);
    }

    // The canvas takes the size of the frame the module draws for the device's size and pixel ratio.
    fit() {
      const width = this.module._quorvel_width(), height = this.module._quorvel_height();
      if (this.canvas.width === width && this.canvas.height === height) return;
      this.canvas.width = width;
      this.canvas.height = height;
      this.image = null;
    }

    pixels() {
      const { width, height } = this.canvas, memory = this.module.HEAPU8.buffer;
      const address = this.module._quorvel_pixels();
      if (width * height === 0) return null;
      if (!this.image || this.image.memory !== memory || this.image.address !== address) {
        const bytes = new Uint8ClampedArray(memory, address, width * height * 4);
        this.image = { memory, address, data: new ImageData(bytes, width, height) };
      }
      return this.image.data;
    }

    // Each rectangle the module converted goes from its memory to the canvas; nothing else is touched.
    put(count) {
      const data = count > 0 ? this.pixels() : null;
      if (!data) return;
      const rects = new Int32Array(this.module.HEAP32.buffer, this.module._quorvel_rects(), count * 4);
      for (let i = 0; i < rects.length; i += 4)
        this.context.putImageData(data, 0, 0, rects[i], rects[i + 1], rects[i + 2], rects[i + 3]);
    }
  }

  function run(module) {
    const query = new URLSearchParams(location.search);
    const sliders = kSettings.map((name, index) => setUpSlider(module, query, name, index));
    const positions = () => sliders.map((slider) => Number(slider.value));
    const display = new Display(module, byId("display"));
    if (!display.start(positions())) return say(texts.failed);
    notice.hidden = true;
    display.canvas.addEventListener("contextrestored", () => display.repaint());
    for (const slider of sliders)
      slider.addEventListener("input", () => { remember(slider); display.start(positions()); });
    setUpPanel();
    // For the browser's console and the page's tests: the module as the page runs it.
    window.quorvel = module;
    // Each frame looks at the window's size and devicePixelRatio first: not every browser says when the ratio
    // changes (the window moved to another monitor, the page zoomed), and reading them costs nothing.
    const animate = (time) => {
      requestAnimationFrame(animate);
      display.resize();
      display.frame(time);
    };
    requestAnimationFrame(animate);
  }

  function setUpSlider(module, query, name, index) {
    const slider = byId(name), value = byId(`${name}-value`);
    const [heading, low, high] = texts[name];
    byId(`${name}-heading`).textContent = heading;
    byId(`${name}-low`).textContent = low;
    byId(`${name}-high`).textContent = high;
    slider.setAttribute("aria-label", heading);
    slider.min = module._quorvel_range(index, 0);
    slider.max = module._quorvel_range(index, 1);
    const text = query.has(name) ? query.get(name) : stored(name);
    slider.value = text === null ? module._quorvel_range(index, 2)
                                 : module.ccall("quorvel_setting", "number", ["number", "string"], [index, text]);
    value.textContent = slider.value;
    slider.addEventListener("input", () => { value.textContent = slider.value; });
    return slider;
  }

  // Storage may be switched off, or full; the page then simply starts from the address or the defaults.
  function stored(name) {
    try {
      return localStorage.getItem(`quorvel.${name}`);
    } catch (error) {
      return null;
    }
  }

  // The slider's value is kept for the next visit, and an address that named the setting names the new value,
  // so that reloading it or passing it on shows what is on the screen.
  function remember(slider) {
    try {
      localStorage.setItem(`quorvel.${slider.id}`, slider.value);
    } catch (error) {
      // kept for this visit only
    }
    const query = new URLSearchParams(location.search);
    if (!query.has(slider.id)) return;
    query.set(slider.id, slider.value);
    history.replaceState(null, "", `${location.pathname}?${query}${location.hash}`);
  }

  // The panel shows while the pointer moves or rests on it, and hides, with the pointer, after a few seconds
  // of stillness elsewhere.
  function setUpPanel() {
    const panel = byId("panel"), fullscreen = byId("fullscreen");
    fullscreen.textContent = texts.fullscreen;
    byId("readme").textContent = texts.readme;
    fullscreen.hidden = !document.fullscreenEnabled;
    fullscreen.addEventListener("click", () => {
      if (document.fullscreenElement) document.exitFullscreen();
      else document.documentElement.requestFullscreen().catch(() => {});
    });
    let timer = 0;
    const hide = () => {
      if (panel.matches(":hover")) return wake();
      panel.classList.add("hidden");
      document.body.classList.add("still");
    };
    const wake = () => {
      panel.classList.remove("hidden");
      document.body.classList.remove("still");
      clearTimeout(timer);
      timer = setTimeout(hide, kPanelSeconds * 1000);
    };
    for (const event of ["pointermove", "pointerdown", "keydown"]) window.addEventListener(event, wake);
  }

  if (typeof WebAssembly === "object" && typeof WebAssembly.instantiate === "function" && window.createQuorvel)
    createQuorvel().then(run, () => say(texts.failed));
  else
    say(texts.noWasm);
})();
