// The phone's page: the live screen, its keys, and a panel that plays the phone. Everything it does runs one
// of the device tool's commands on the server, one at a time, in the order given.
"use strict";

const $ = (selector) => document.querySelector(selector);

let queue = Promise.resolve();

// Runs `phone ARGS...`; resolves to {code, out, err} and shows what it said.
function run(args) {
  const result = queue.then(async () => {
    const response = await fetch("run", {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify({ args }),
    });
    const outcome = await response.json();
    if (!response.ok) throw new Error(outcome.error || response.statusText);
    return outcome;
  });
  queue = result.catch(() => {});
  return result.then(
    (outcome) => {
      say(outcome.code === 0 ? outcome.out : outcome.err, outcome.code !== 0);
      return outcome;
    },
    (error) => {
      say(String(error.message || error), true);
      return { code: -1, out: "", err: String(error) };
    },
  );
}

function say(text, failed) {
  const status = $("#status");
  status.textContent = text.trim();
  status.classList.toggle("failed", failed);
}

// The screen: waits on the server for each change and shows it.
async function follow() {
  let seen = 0;
  for (;;) {
    try {
      const response = await fetch(`state?after=${seen}`);
      if (!response.ok) throw new Error(response.statusText);
      const state = await response.json();
      if (state.version > seen) {
        seen = state.version;
        show(state);
      }
    } catch (error) {
      await new Promise((resolve) => setTimeout(resolve, 1000));
    }
  }
}

function show(state) {
  const screen = $("#screen");
  screen.src = `screen.png?v=${state.version}`;
  screen.width = state.width;
  screen.dataset.version = state.version;
  screen.alt = state.text || state.problem;
  $("#screen-text").textContent = state.text;
  document.title = state.title ? `${state.title} - phone` : "Phone";
  [$("#soft1"), $("#soft2")].forEach((button, i) => {
    const key = state.softkeys[i];
    button.textContent = key ? key.label || "\u00a0" : "\u00a0";
    button.disabled = key ? !key.enabled : false;
  });
  $("#problem").hidden = !state.problem;
  $("#problem-text").textContent = state.problem;
  refreshSoon();
}

// The keys.
function press(key) {
  return run(["press", key]);
}

document.querySelectorAll("[data-key]").forEach((button) => {
  button.addEventListener("click", () => press(button.dataset.key));
});

const keyboard = {
  ArrowUp: "up", ArrowDown: "down", ArrowLeft: "left", ArrowRight: "right", Enter: "action",
  Escape: "back", Backspace: "back", F1: "soft1", F2: "soft2", "[": "soft1", "]": "soft2",
};

$("#phone").addEventListener("keydown", (event) => {
  if (event.ctrlKey || event.altKey || event.metaKey) return;
  if (keyboard[event.key]) press(keyboard[event.key]);
  else if (event.key.length === 1) run(["type", event.key]);
  else return;
  event.preventDefault();
});

$("#typing").addEventListener("submit", (event) => {
  event.preventDefault();
  const text = $("#typed").value;
  if (text) run(["type", text]).then((outcome) => { if (outcome.code === 0) $("#typed").value = ""; });
});

$("#start").addEventListener("click", () => run(["launch"]));

// The panel.
function formSubmits(selector, args) {
  const form = $(selector);
  form.addEventListener("submit", async (event) => {
    event.preventDefault();
    const outcome = await run(args(new FormData(form)));
    if (outcome.code === 0) form.reset();
    refreshPanel();
  });
}

formSubmits("#incoming", (data) => {
  const args = ["sms", "receive", "--from", data.get("from"), "--text", data.get("text")];
  if (data.get("name")) args.push("--name", data.get("name"));
  return args;
});
formSubmits("#missed", (data) => ["call", "missed", "--from", data.get("number") || data.get("contact")]);
formSubmits("#clock-set", (data) => ["clock", "set", data.get("time")]);
formSubmits("#clock-advance", (data) => ["clock", "advance", data.get("duration")]);

// Reads a command's output without showing it in the status line.
async function quietly(args) {
  const outcome = await queue.then(() =>
    fetch("run", { method: "POST", body: JSON.stringify({ args }) }).then((r) => r.json()));
  return outcome.code === 0 ? outcome.out : null;
}

function fillRows(table, rows) {
  const body = $(table).tBodies[0];
  body.replaceChildren(...rows.map((cells) => {
    const row = document.createElement("tr");
    cells.forEach((text) => row.insertCell().textContent = text);
    return row;
  }));
}

const who = (party) => (party.name && party.name !== party.address ? `${party.name} <${party.address}>` : party.address);

async function refreshPanel() {
  const [clock, inbox, sent, composed, contacts] = await Promise.all([
    quietly(["clock"]),
    quietly(["sms", "list", "--folder", "inbox", "--json"]),
    quietly(["sms", "list", "--folder", "sent", "--json"]),
    quietly(["composed", "--json"]),
    quietly(["contacts", "list"]),
  ]);
  if (clock !== null) $("#clock").textContent = clock.trim();
  if (inbox !== null) fillRows("#inbox", JSON.parse(inbox).map((m) => [m.time, who(m.from), m.text]));
  if (sent !== null) fillRows("#sent", JSON.parse(sent).map((m) => [m.time, m.to.map(who).join(", "), m.text]));
  if (composed !== null) {
    $("#composed").replaceChildren(...JSON.parse(composed).map((form) => {
      const item = document.createElement("li");
      item.textContent = `${form.kind} to ${form.to || "(nobody)"}: ${form.body || form.subject || ""}`;
      return item;
    }));
  }
  if (contacts !== null) fillContacts(contacts);
}

function fillContacts(listing) {
  const select = $("#missed select");
  const chosen = select.value;
  const options = [new Option("(a number below)", "")];
  for (const line of listing.split("\n").filter(Boolean)) {
    const [, name, mobile, work, home] = line.split("\t");
    const number = mobile || work || home;
    if (number) options.push(new Option(`${name} (${number})`, number));
  }
  select.replaceChildren(...options);
  select.value = chosen;
}

let pending = null;
function refreshSoon() {
  clearTimeout(pending);
  pending = setTimeout(refreshPanel, 800);
}

setInterval(refreshPanel, 10000); // a real clock moves, alarms fire
refreshPanel();
follow();
$("#phone").focus();
