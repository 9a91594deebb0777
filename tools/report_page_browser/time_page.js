// Times a report page in headless Chromium: from the start of the navigation
// to the end of its load event (the page's script has built the summary,
// the plots and the table by then), the main thread's busy time in it, and
// a sort of the table by seconds.
// Usage: node time_page.js PAGE [RUNS]. Prints one JSON line per run. Opens
// report-page-blank.html beside PAGE (made when missing) before each run.
"use strict";
const fs = require("fs");
const path = require("path");
const url = require("url");
const { openBrowser, evaluate, navigate } = require("./chromium");

// The time the page's main thread spent on tasks so far (parsing, script,
// layout), which other processes on the machine hardly change.
async function mainThreadSeconds(session) {
  const { metrics } = await session.send("Performance.getMetrics");
  return metrics.find((m) => m.name === "TaskDuration").value;
}

async function main() {
  const page = url.pathToFileURL(path.resolve(process.argv[2])).href;
  const runs = Number(process.argv[3] || 5);
  const blank = path.join(path.dirname(path.resolve(process.argv[2])), "report-page-blank.html");
  if (!fs.existsSync(blank)) fs.writeFileSync(blank, "<!DOCTYPE html><title>blank</title>\n");
  for (let run = 0; run < runs; run++) {
    // A fresh browser each run: nothing cached from the run before.
    const session = await openBrowser();
    try {
      await session.send("Page.enable");
      // A blank page from the same folder first: what is timed is the page
      // opened in a running browser, not the browser's start.
      await navigate(session, new URL("report-page-blank.html", page).href);
      await session.send("Performance.enable");
      const before = await mainThreadSeconds(session);
      await navigate(session, page);
      const busy = (await mainThreadSeconds(session)) - before;
      const timing = await evaluate(session, `new Promise((resolve) => setTimeout(() => {
        const n = performance.getEntriesByType("navigation")[0];
        const header = document.querySelector('#table-head [data-key="seconds"]');
        const start = performance.now();
        header.click();
        const sorted = performance.now() - start;
        resolve({ interactive: n.loadEventEnd / 1000, sort: sorted / 1000,
                  rows: document.getElementById("shown").textContent });
      }, 0))`);
      timing.busy = busy;
      console.log(JSON.stringify(timing));
    } finally {
      await session.close();
    }
  }
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
