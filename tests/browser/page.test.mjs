// The phone's page in a real browser: Debian's Chromium, headless, driven by playwright-core, on a fresh device
// with Zelkova installed and a manual clock, served by `phone serve`. Run as `node page.test.mjs` with
// PHONE_PROGRAM naming the built tool; it exits 77 (skipped) only where Chromium cannot run at all, and never
// on CI, which installs it.
import { execFileSync, spawn } from "node:child_process";
import { existsSync, mkdtempSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, test } from "node:test";
import assert from "node:assert/strict";

const phoneProgram = process.env.PHONE_PROGRAM;
const chromiumPath = process.env.CHROMIUM || "/usr/bin/chromium";
const stepTimeout = 20000;

function cannotRun(why) {
  if (process.env.CI) {
    console.error(`browser test: ${why}, and CI must run it`);
    process.exit(1);
  }
  console.log(`SKIPPED: ${why} (scripts/bootstrap installs Chromium and playwright-core)`);
  process.exit(77);
}

if (!phoneProgram) {
  console.error("browser test: PHONE_PROGRAM must name the phone tool");
  process.exit(2);
}
if (!existsSync(chromiumPath)) cannotRun(`no Chromium at ${chromiumPath}`);
let chromium;
try {
  ({ chromium } = createRequire(import.meta.url)("playwright-core"));
} catch {
  cannotRun("playwright-core is not installed in tests/browser");
}

const deviceDir = mkdtempSync(join(tmpdir(), "phone-page-"));
const browserDir = mkdtempSync(join(tmpdir(), "phone-page-chromium-"));
const phone = (...args) => execFileSync(phoneProgram, ["--device", deviceDir, ...args], { encoding: "utf8" });

let server, url, context, page;

before(async () => {
  phone("init", "--clock", "manual", "--time", "2008-06-15 09:30:00");
  phone("contacts", "add", "--name", "Anna Berg", "--mobile", "+15550101");
  server = spawn(phoneProgram, ["--device", deviceDir, "serve"], { stdio: ["ignore", "pipe", "inherit"] });
  url = await new Promise((resolve, reject) => {
    let printed = "";
    server.stdout.on("data", (data) => {
      printed += data;
      const address = printed.match(/http:\/\/\S+\//);
      if (address) resolve(address[0]);
    });
    server.on("exit", (code) => reject(new Error(`phone serve ended with ${code}: ${printed}`)));
  });
  context = await chromium.launchPersistentContext(browserDir, {
    executablePath: chromiumPath,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
    viewport: { width: 1200, height: 1000 },
  });
  context.setDefaultTimeout(stepTimeout);
  page = context.pages()[0] || (await context.newPage());
});

after(async () => {
  await context?.close();
  if (server && server.exitCode === null) {
    const ended = new Promise((resolve) => server.on("exit", resolve));
    server.kill("SIGTERM");
    await ended;
  }
  try {
    for (const line of phone("ps").split("\n").filter(Boolean)) phone("kill", line.split(" ")[0]);
  } finally {
    rmSync(deviceDir, { recursive: true, force: true });
    rmSync(browserDir, { recursive: true, force: true });
  }
});

// Waits (a bounded time) until the page shows a screen whose text passes the check; its text.
async function screenWhere(check, what) {
  const end = Date.now() + stepTimeout;
  for (;;) {
    const text = await page.textContent("#screen-text");
    if (check(text)) return text;
    if (Date.now() > end) throw new Error(`the page never showed ${what}; it shows:\n${text}`);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

const version = () => page.locator("#screen").getAttribute("data-version").then(Number);

test("without the token every request is refused, and the page's address is on the loopback", async () => {
  const { origin, pathname } = new URL(url);
  assert.equal(new URL(url).hostname, "127.0.0.1");
  const token = pathname.split("/")[1];
  assert.match(token, /^[0-9a-f]{32}$/);
  const wrong = token.replace(/^./, (c) => (c === "0" ? "1" : "0"));
  for (const path of ["/", "/state", `/${wrong}/`, `/${wrong}/screen.png`, `/${token.slice(0, 31)}/state`]) {
    const response = await fetch(origin + path);
    assert.equal(response.status, 403, path);
  }
  const driving = await fetch(`${origin}/${wrong}/run`, { method: "POST", body: JSON.stringify({ args: ["launch"] }) });
  assert.equal(driving.status, 403);
  assert.equal(phone("ps"), "", "nothing was started");
  const shown = await page.goto(`${origin}/`);
  assert.equal(shown.status(), 403);
  assert.match(await page.textContent("body"), /needs the token/);
});

test("the page shows the live screen and drives it with the soft keys, the pad, Back, the keyboard and typing", async () => {
  await page.goto(url);
  await page.locator("#problem").waitFor({ state: "visible" });
  assert.match(await page.textContent("#problem-text"), /no window is on the screen/);
  const bare = await version();

  await page.click("#start");
  let text = await screenWhere((t) => t.includes("+-- Zelkova --"), "the welcome message box");
  assert.ok((await version()) > bare);
  assert.equal(await page.locator("#problem").isHidden(), true);
  // The picture arrived: twice the 240x320 screen.
  await page.waitForFunction(() => document.querySelector("#screen").naturalWidth === 480);
  assert.equal(await page.locator("#screen").evaluate((img) => img.naturalHeight), 640);

  await page.click('[data-key="action"]');
  text = await screenWhere((t) => t.includes("Message to me") && !t.includes("+--"), "the main screen");
  assert.equal(await page.textContent("#soft1"), "Select");
  assert.equal(await page.textContent("#soft2"), "Menu");
  assert.equal(text, phone("screen"), "the page shows the screen the tool sees");

  await page.click("#soft2");
  await screenWhere((t) => t.includes(".-- menu --"), "the open menu");
  await page.click('[data-key="back"]');
  await screenWhere((t) => !t.includes(".-- menu --"), "the menu closed again");

  // The keyboard on the phone: down twice to Auto-reply, Enter opens it.
  await page.focus("#phone");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("ArrowDown");
  await screenWhere((t) => t.includes("*> Auto-reply"), "the Auto-reply row selected");
  await page.keyboard.press("Enter");
  await screenWhere((t) => t.startsWith("Auto-reply\n") && t.includes("[ ]"), "the auto-reply settings, off");
  await page.click('[data-key="action"]'); // on: the text takes the focus
  await screenWhere((t) => t.includes("[x]"), "auto-reply switched on");
  await page.fill("#typed", " (from the page)");
  await page.click("#typing button");
  await screenWhere((t) => t.includes("(from the page)"), "the typed text");
  await page.click("#soft1"); // Done
  await screenWhere((t) => t.startsWith("Zelkova\n") && t.includes("Message to me"), "the main screen again");
});

test("an incoming text played from the panel shows in the Inbox list", async () => {
  await page.fill("#incoming [name=from]", "+15550123");
  await page.fill("#incoming [name=text]", "Dinner at eight?");
  await page.click("#incoming button");
  await page.locator("#inbox tbody tr", { hasText: "Dinner at eight?" }).waitFor();
  assert.match(await page.textContent("#inbox tbody"), /\+15550123/);
  assert.match(phone("sms", "list", "--folder", "inbox"), /Dinner at eight\?/);
});

test("a missed call from a contact brings up the reply countdown, the panel's clock moves it on, and Send now sends the reply", async () => {
  await page.locator("#missed option", { hasText: "Anna Berg" }).waitFor({ state: "attached" });
  await page.selectOption("#missed select", { label: "Anna Berg (+15550101)" });
  await page.click("#missed button");
  const text = await screenWhere((t) => t.startsWith("Missed call\n"), "the countdown");
  assert.match(text, /Anna Berg/);
  assert.match(text, /Replying in 10 s \(0 s gone\)/);
  assert.equal(await page.textContent("#soft1"), "Send now");
  assert.equal(await page.textContent("#soft2"), "Cancel");
  assert.equal(text, phone("screen"));

  await page.fill("#clock-advance [name=duration]", "4s");
  await page.click("#clock-advance button");
  await screenWhere((t) => t.includes("Replying in 6 s (4 s gone)"), "the countdown 4 seconds on");
  await page.locator("#clock", { hasText: "09:30:04" }).waitFor();

  await page.click("#soft1");
  await screenWhere((t) => t.startsWith("Zelkova\n"), "the main screen after the reply");
  await page.locator("#sent tbody tr", { hasText: "(from the page)" }).waitFor();
  assert.match(await page.textContent("#sent tbody"), /Anna Berg <\+15550101>/);
});
