// A headless Chromium driven over the DevTools protocol on a pipe: no
// package beyond Node itself. Used by the report page's tests and benchmark.
"use strict";
const { spawn } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

// Starts Chromium and returns a page session: send(method, params),
// on(event, handler), and close(). Software WebGL (SwiftShader) is allowed so
// that the 3D view draws on a machine without a GPU.
async function openBrowser(options = {}) {
  const binary = process.env.ROOMBOX_CHROMIUM || "/usr/bin/chromium";
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "roombox-chromium-"));
  const args = [
    "--headless=new", "--remote-debugging-pipe", "--no-first-run", "--no-default-browser-check",
    "--disable-gpu-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--hide-scrollbars", "--mute-audio", "--user-data-dir=" + profile,
    "--window-size=" + (options.width || 1280) + "," + (options.height || 900),
  ];
  if (process.getuid && process.getuid() === 0) args.push("--no-sandbox");
  args.push("about:blank");
  const child = spawn(binary, args, { stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"] });
  let stderr = "";
  child.stdio[2].on("data", (chunk) => { stderr += chunk; });
  const toBrowser = child.stdio[3];
  const fromBrowser = child.stdio[4];
  let nextId = 1;
  const pending = new Map();
  const handlers = new Map();
  let buffered = Buffer.alloc(0);
  fromBrowser.on("data", (chunk) => {
    buffered = Buffer.concat([buffered, chunk]);
    let end;
    while ((end = buffered.indexOf(0)) >= 0) {
      const message = JSON.parse(buffered.subarray(0, end).toString("utf8"));
      buffered = buffered.subarray(end + 1);
      if (message.id !== undefined && pending.has(message.id)) {
        const { resolve, reject, method } = pending.get(message.id);
        pending.delete(message.id);
        if (message.error) reject(new Error(method + ": " + message.error.message));
        else resolve(message.result);
      } else if (message.method && handlers.has(message.method)) {
        for (const handler of handlers.get(message.method)) handler(message.params);
      }
    }
  });
  const exited = new Promise((resolve) => child.on("exit", resolve));
  exited.then(() => {
    for (const { reject, method } of pending.values()) {
      reject(new Error(method + ": Chromium ended\n" + stderr));
    }
    pending.clear();
  });
  function raw(method, params, sessionId) {
    const id = nextId++;
    const message = { id, method, params: params || {} };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      pending.set(id, { resolve, reject, method });
      toBrowser.write(JSON.stringify(message) + "\0");
    });
  }
  const { targetInfos } = await raw("Target.getTargets");
  const page = targetInfos.find((t) => t.type === "page");
  const { sessionId } = await raw("Target.attachToTarget", { targetId: page.targetId,
                                                               flatten: true });
  return {
    send: (method, params) => raw(method, params, sessionId),
    on(method, handler) {
      if (!handlers.has(method)) handlers.set(method, []);
      handlers.get(method).push(handler);
    },
    async close() {
      try { await raw("Browser.close"); } catch (error) { /* it may end first */ }
      await Promise.race([exited, new Promise((r) => setTimeout(r, 10000))]);
      if (child.exitCode === null && child.signalCode === null) {
        child.kill("SIGKILL");
        await exited;
      }
      // Its helper processes may still be leaving files there.
      try {
        fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
      } catch (error) {
        console.error("Cannot remove " + profile + ": " + error.message);
      }
    },
  };
}

// Evaluates expression in the page (awaiting a promise) and returns its value.
async function evaluate(session, expression) {
  const result = await session.send("Runtime.evaluate", { expression, awaitPromise: true,
                                                           returnByValue: true });
  if (result.exceptionDetails) {
    throw new Error("In the page: " + (result.exceptionDetails.exception
      ? result.exceptionDetails.exception.description : result.exceptionDetails.text));
  }
  return result.result.value;
}

// Navigates to url and waits for its load event, at most timeout ms.
async function navigate(session, url, timeout = 60000) {
  let timer;
  const loaded = new Promise((resolve, reject) => {
    session.on("Page.loadEventFired", resolve);
    timer = setTimeout(() => reject(new Error("No load event from " + url)), timeout);
  });
  const { errorText } = await session.send("Page.navigate", { url });
  if (errorText) {
    clearTimeout(timer);
    throw new Error("Cannot open " + url + ": " + errorText);
  }
  try {
    await loaded;
  } finally {
    clearTimeout(timer);
  }
}

// Polls expression until it is true, or fails after timeout milliseconds.
async function waitFor(session, expression, timeout, what) {
  const until = Date.now() + timeout;
  for (;;) {
    if (await evaluate(session, expression)) return;
    if (Date.now() > until) throw new Error("Timed out waiting for " + what);
    await new Promise((r) => setTimeout(r, 100));
  }
}

module.exports = { openBrowser, evaluate, navigate, waitFor };
