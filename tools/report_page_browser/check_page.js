// Opens a report page in headless Chromium and checks it as a user would
// see it. Usage:
//   node check_page.js PAGE REPORT ARTEFACTS [--glb-room ROOM --glb FILE] [--hostile ROOM]...
// PAGE and REPORT are the page and the report it shows; ARTEFACTS a folder
// for page.png and view.png. ROOM names a room of the report; FILE its GLB.
// Prints one line per failed check and exits 1 when any failed.
"use strict";
const fs = require("fs");
const path = require("path");
const url = require("url");
const { openBrowser, evaluate, navigate, waitFor } = require("./chromium");

const [pagePath, reportPath, artefacts, ...rest] = process.argv.slice(2);
const hostile = [];
let glbRoom = null;
let glbFile = null;
for (let k = 0; k < rest.length; k += 2) {
  if (rest[k] === "--hostile") hostile.push(rest[k + 1]);
  else if (rest[k] === "--glb-room") glbRoom = rest[k + 1];
  else if (rest[k] === "--glb") glbFile = rest[k + 1];
}

const failures = [];
function check(condition, message) {
  if (!condition) failures.push(message);
}

// The report's last line of each room.
function reportRooms() {
  const rooms = new Map();
  for (const line of fs.readFileSync(reportPath, "utf8").split("\n")) {
    if (line.trim() === "") continue;
    const value = JSON.parse(line);
    rooms.set(value.room, value);
  }
  return [...rooms.values()];
}

// The meshes three.js makes of a GLB: one per primitive of each node's mesh.
function glbMeshCount(file) {
  const bytes = fs.readFileSync(file);
  const length = bytes.readUInt32LE(12);
  const json = JSON.parse(bytes.subarray(20, 20 + length).toString("utf8"));
  let count = 0;
  for (const node of json.nodes || []) {
    if (node.mesh !== undefined) count += json.meshes[node.mesh].primitives.length;
  }
  return count;
}

// Pixels of the view's canvas that differ from its background, read right
// after a render.
const drawnPixels = `(() => {
  const v = window.roomboxView;
  v.renderer.render(v.scene, v.camera);
  const gl = v.renderer.getContext();
  const w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
  const pixels = new Uint8Array(w * h * 4);
  gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
  let drawn = 0;
  for (let k = 0; k < pixels.length; k += 4) {
    if (Math.abs(pixels[k] - 0x20) + Math.abs(pixels[k + 1] - 0x24) +
        Math.abs(pixels[k + 2] - 0x2a) > 12) drawn++;
  }
  return drawn / (w * h);
})()`;

async function screenshot(session, file, clip) {
  const params = { format: "png" };
  if (clip) params.clip = Object.assign({ scale: 1 }, clip);
  const { data } = await session.send("Page.captureScreenshot", params);
  fs.writeFileSync(file, Buffer.from(data, "base64"));
}

async function main() {
  fs.mkdirSync(artefacts, { recursive: true });
  const rooms = reportRooms();
  const session = await openBrowser({ width: 1280, height: 1000 });
  const errors = [];
  let dialogs = 0;
  session.on("Runtime.consoleAPICalled", (e) => {
    if (e.type === "error" || e.type === "assert") {
      errors.push("console: " + e.args.map((a) => a.value || a.description).join(" "));
    }
  });
  session.on("Runtime.exceptionThrown", (e) => {
    errors.push("exception: " + (e.exceptionDetails.exception
      ? e.exceptionDetails.exception.description : e.exceptionDetails.text));
  });
  session.on("Log.entryAdded", (e) => {
    if (e.entry.level === "error") errors.push("log: " + e.entry.text + " " + (e.entry.url || ""));
  });
  session.on("Page.javascriptDialogOpening", (e) => {
    dialogs++;
    session.send("Page.handleJavaScriptDialog", { accept: true }).catch(() => {});
  });
  try {
    await session.send("Page.enable");
    await session.send("Runtime.enable");
    await session.send("Log.enable");
    await navigate(session, url.pathToFileURL(path.resolve(pagePath)).href);
    // The thumbnails of the rows in view load, lazily.
    await waitFor(session, `[...document.querySelectorAll("#spacer img")].every((i) =>
      i.complete)`, 20000, "the thumbnails");
    const thumbnails = await evaluate(session, `[...document.querySelectorAll("#spacer img")]
      .filter((i) => i.naturalWidth > 0).length`);
    const withPreview = rooms.filter((r) => (r.outputs || []).some((o) =>
      o.endsWith("-preview.png"))).length;
    check(thumbnails === withPreview,
          `${thumbnails} thumbnails shown for ${withPreview} rooms with a preview`);

    // The summary against the report.
    const done = rooms.filter((r) => r.status === "done").length;
    const failed = rooms.length - done;
    const summary = await evaluate(session, `({
      done: document.getElementById("count-done").textContent,
      failed: document.getElementById("count-failed").textContent,
      groups: [...document.querySelectorAll("#failure-groups > li")].map((li) =>
        li.querySelector(".count").textContent + " | " + li.querySelector(".message").textContent),
      shown: document.getElementById("shown").textContent })`);
    check(summary.done === String(done), `summary says ${summary.done} done, report ${done}`);
    check(summary.failed === String(failed),
          `summary says ${summary.failed} failed, report ${failed}`);
    const messages = new Map();
    for (const r of rooms) {
      if (r.status !== "failed") continue;
      // Grouped with the room's own name taken out of the message.
      const message = r.message.split(r.room).join("ROOM");
      messages.set(message, (messages.get(message) || 0) + 1);
    }
    check(summary.groups.length === messages.size,
          `${summary.groups.length} failure groups for ${messages.size} messages`);
    for (const [message, count] of messages) {
      const line = (count === 1 ? "1 room" : count + " rooms") + " | " + message;
      check(summary.groups.includes(line), "no failure group reads " + line);
    }
    check(summary.shown === rooms.length + " rooms", "the table shows " + summary.shown);
    await screenshot(session, path.join(artefacts, "page.png"));

    // Sorting by seconds: the first click puts the slowest room first.
    await evaluate(session, `document.querySelector('#table-head [data-key="seconds"]').click()`);
    await new Promise((r) => setTimeout(r, 50));
    const slowest = rooms.reduce((a, b) => (b.seconds > a.seconds ? b : a));
    const first = await evaluate(session,
      `[...document.querySelectorAll("#spacer .row")].sort((a, b) =>
        parseFloat(a.style.top) - parseFloat(b.style.top))[0].children[
        [...document.querySelectorAll("#table-head > span")].findIndex((c) =>
          c.dataset.key === "room")].textContent`);
    check(first === slowest.room, `sorted by seconds, ${first} comes first, not ${slowest.room}`);

    // Filtering by status.
    await evaluate(session, `(() => { const s = document.getElementById("status-filter");
      s.value = "failed"; s.dispatchEvent(new Event("change")); })()`);
    const failedShown = await evaluate(session,
      `document.querySelectorAll("#spacer .row").length`);
    check(failedShown === Math.min(failed, failedShown) && failedShown === failed,
          `the failed filter shows ${failedShown} rows, not ${failed}`);
    await evaluate(session, `(() => { const s = document.getElementById("status-filter");
      s.value = ""; s.dispatchEvent(new Event("change")); })()`);

    // Hostile names: shown as text, nothing of them run or parsed as markup.
    for (const name of hostile) {
      const shown = await evaluate(session, `(() => {
        const f = document.getElementById("filter");
        f.value = ${JSON.stringify(name)};
        f.dispatchEvent(new Event("input"));
        return [...document.querySelectorAll("#spacer .row")].map((row) =>
          [...row.children].map((c) => c.textContent));
      })()`);
      check(shown.length === 1 && shown[0].includes(name),
            "the hostile name " + name + " is not shown as text: " + JSON.stringify(shown));
    }
    const injected = await evaluate(session, `({
      pwned: window.__pwned !== undefined,
      images: [...document.images].filter((i) => i.getAttribute("src") === "x").length,
      scripts: document.scripts.length })`);
    check(!injected.pwned && injected.images === 0 && dialogs === 0,
          "a hostile name ran or made markup: " + JSON.stringify(injected) + ", dialogs " +
          dialogs);
    await evaluate(session, `(() => { const f = document.getElementById("filter");
      f.value = ""; f.dispatchEvent(new Event("input")); })()`);

    // The 3D view of a room with a GLB.
    if (glbRoom) {
      await evaluate(session, `(() => {
        const f = document.getElementById("filter");
        f.value = ${JSON.stringify(glbRoom)};
        f.dispatchEvent(new Event("input"));
        const row = [...document.querySelectorAll("#spacer .row")].find((r) =>
          [...r.children].some((c) => c.textContent === ${JSON.stringify(glbRoom)}));
        row.click();
      })()`);
      await waitFor(session, `window.roomboxView.meshes > 0 ||
        document.getElementById("view-state").textContent.startsWith("Cannot")`, 30000,
        "the 3D view");
      const view = await evaluate(session, `({ meshes: window.roomboxView.meshes,
        state: document.getElementById("view-state").textContent,
        ceilingHidden: (() => { let hidden = 0; window.roomboxView.room.traverse((o) => {
          if (o.userData.Category === "Ceiling" && !o.visible) hidden++; }); return hidden; })() })`);
      check(view.state === "", "the 3D view says " + view.state);
      const expected = glbMeshCount(glbFile);
      check(view.meshes === expected, `the 3D view holds ${view.meshes} meshes, the GLB ${expected}`);
      check(view.ceilingHidden > 0, "the 3D view shows the ceiling");
      const orbitDrawn = await evaluate(session, drawnPixels);
      check(orbitDrawn > 0.05, "the 3D view from orbit is blank (" + orbitDrawn + " drawn)");
      const rect = await evaluate(session, `(() => {
        const r = document.getElementById("view-canvas").getBoundingClientRect();
        return { x: r.x + scrollX, y: r.y + scrollY, width: r.width, height: r.height }; })()`);
      await new Promise((r) => setTimeout(r, 300));
      await screenshot(session, path.join(artefacts, "view.png"), rect);
      await evaluate(session, `document.getElementById("view-capture").click()`);
      const insideDrawn = await evaluate(session, drawnPixels);
      check(insideDrawn > 0.5, "the view from the capture point is mostly blank (" +
            insideDrawn + " drawn)");
      await new Promise((r) => setTimeout(r, 300));
      await screenshot(session, path.join(artefacts, "view-capture-point.png"), rect);
    }
    check(errors.length === 0, "errors in the page:\n  " + errors.join("\n  "));
  } finally {
    await session.close();
  }
}

main().then(() => {
  for (const f of failures) console.log("FAILED: " + f);
  process.exit(failures.length === 0 ? 0 : 1);
}, (error) => {
  console.log("FAILED: " + (error.stack || error));
  process.exit(1);
});
