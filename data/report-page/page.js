// The report page: summary, failures by message, plots, the table of rooms
// (only its visible rows drawn) and a room's detail with its 3D view. Every
// name and message goes into the page as text, never as markup.
"use strict";
(function () {
  const data = JSON.parse(document.getElementById("report-data").textContent);
  const column = {};
  data.columns.forEach((name, k) => { column[name] = k; });
  const rooms = data.rooms;
  // Rooms share few lists of outputs: the data names each list once.
  for (const r of rooms) r[column.outputs] = data.outputLists[r[column.outputs]];
  const previewName = data.prefix + "-preview.png";
  const hasPreview = rooms.some((r) => r[column.outputs].includes(previewName));
  const hasAcoustics = rooms.some((r) => r[column.volume] !== null || r[column.rt1000] !== null);

  function element(tag, text, className) {
    const e = document.createElement(tag);
    if (text !== undefined && text !== null) e.textContent = String(text);
    if (className) e.className = className;
    return e;
  }

  // A relative URL of a room's file: each part of the path percent-encoded,
  // so that no name can read as a scheme, a query or a fragment.
  function fileUrl(room, name) {
    const parts = room[column.folder].split("/").map(encodeURIComponent);
    parts.push(encodeURIComponent(name));
    return parts.join("/");
  }

  function secondsText(s) {
    if (s === null) return "";
    return s < 60 ? s.toFixed(3) : Math.floor(s / 3600) + "h " +
      String(Math.floor(s / 60) % 60).padStart(2, "0") + "m " +
      String(Math.floor(s % 60)).padStart(2, "0") + "s";
  }

  function numberText(v, digits) {
    return v === null || v === undefined ? "" : digits === undefined ? String(v) : v.toFixed(digits);
  }

  // --- Summary -----------------------------------------------------------
  let done = 0;
  let failed = 0;
  for (const r of rooms) {
    if (r[column.status] === "done") done++; else failed++;
  }
  const skipped = data.withoutPlanes + data.doneBefore;
  document.getElementById("state").textContent = data.running
    ? "Running: this page is rewritten every 30 s and reloads itself."
    : "Finished.";
  const summary = document.getElementById("summary");
  function summaryRow(term, value, id, className) {
    summary.append(element("dt", term));
    const dd = element("dd", null, className);
    if (value instanceof Node) dd.append(value); else dd.textContent = value;
    if (id) dd.id = id;
    summary.append(dd);
  }
  summaryRow("Rooms done", done, "count-done");
  summaryRow("Rooms failed", failed, "count-failed", failed > 0 ? "count-failed" : "");
  summaryRow("Rooms skipped", skipped + " (" + data.doneBefore + " done before, " +
             data.withoutPlanes + " without a plane info file)", "count-skipped");
  summaryRow("Total time", secondsText(data.seconds) + (data.seconds < 60 ? " s" : ""));
  summaryRow("Started", data.date);
  summaryRow("Command", element("code", data.command));
  summaryRow("roombox", data.version);

  // --- Failures, grouped by message ---------------------------------------
  // Messages name the room's files: with the room's name taken out, rooms
  // that failed for one reason share one message.
  const groups = new Map();
  rooms.forEach((r, k) => {
    if (r[column.status] !== "failed") return;
    const name = r[column.room];
    const message = name === "" ? r[column.message] : r[column.message].split(name).join("ROOM");
    if (!groups.has(message)) groups.set(message, []);
    groups.get(message).push(k);
  });
  if (groups.size > 0) {
    document.getElementById("failures").hidden = false;
    const list = document.getElementById("failure-groups");
    const sorted = [...groups.entries()].sort((a, b) => b[1].length - a[1].length);
    for (const [message, members] of sorted) {
      const item = element("li");
      item.append(element("span", members.length === 1 ? "1 room" : members.length + " rooms",
                          "count"));
      item.append(element("span", message === "" ? "(no message)" : message, "message"));
      const more = element("details");
      more.append(element("summary", "rooms"));
      const shown = members.slice(0, 200);
      shown.forEach((k, n) => {
        if (n > 0) more.append(", ");
        const link = element("button", rooms[k][column.room], "link");
        link.type = "button";
        link.addEventListener("click", () => openDetail(k));
        more.append(link);
      });
      if (members.length > shown.length) {
        more.append(element("span", " and " + (members.length - shown.length) + " more"));
      }
      item.append(more);
      list.append(item);
    }
  }

  // --- Plots ---------------------------------------------------------------
  const svgNs = "http://www.w3.org/2000/svg";
  function svgElement(tag, attributes, text) {
    const e = document.createElementNS(svgNs, tag);
    for (const key in attributes) e.setAttribute(key, attributes[key]);
    if (text !== undefined) e.textContent = text;
    return e;
  }
  // A round step for about `count` ticks over [0, top].
  function tickStep(top, count) {
    const raw = top / count;
    const power = Math.pow(10, Math.floor(Math.log10(raw)));
    const scaled = raw / power;
    return (scaled <= 1 ? 1 : scaled <= 2 ? 2 : scaled <= 5 ? 5 : 10) * power;
  }
  function plotFrame(width, height, margin, xTop, yTop, xLabel, yLabel, yWhole) {
    const svg = svgElement("svg", { width, height, viewBox: "0 0 " + width + " " + height });
    const w = width - margin.left - margin.right;
    const h = height - margin.top - margin.bottom;
    const x = (v) => margin.left + (v / xTop) * w;
    const y = (v) => margin.top + h - (v / yTop) * h;
    svg.append(svgElement("line", { x1: margin.left, y1: margin.top + h, x2: margin.left + w,
                                    y2: margin.top + h, stroke: "#888" }));
    svg.append(svgElement("line", { x1: margin.left, y1: margin.top, x2: margin.left,
                                    y2: margin.top + h, stroke: "#888" }));
    const xStep = tickStep(xTop, 6);
    for (let v = 0; v <= xTop + 1e-9; v += xStep) {
      svg.append(svgElement("text", { x: x(v), y: margin.top + h + 14, "text-anchor": "middle" },
                            +v.toPrecision(6)));
    }
    const yStep = yWhole ? Math.max(1, tickStep(yTop, 5)) : tickStep(yTop, 5);
    for (let v = 0; v <= yTop + 1e-9; v += yStep) {
      svg.append(svgElement("text", { x: margin.left - 4, y: y(v) + 4, "text-anchor": "end" },
                            +v.toPrecision(6)));
    }
    svg.append(svgElement("text", { x: margin.left + w / 2, y: height - 4,
                                    "text-anchor": "middle" }, xLabel));
    svg.append(svgElement("text", { x: 12, y: margin.top + h / 2, "text-anchor": "middle",
                                    transform: "rotate(-90 12 " + (margin.top + h / 2) + ")" },
                          yLabel));
    return { svg, x, y, w, h };
  }
  function drawHistogram() {
    const seconds = rooms.map((r) => r[column.seconds]).filter((s) => s !== null);
    const figure = document.getElementById("histogram");
    if (seconds.length === 0) { figure.hidden = true; return; }
    let top = 0;
    for (const s of seconds) top = Math.max(top, s);
    const bins = 24;
    const width = (top > 0 ? top : 1) / bins;
    const counts = new Array(bins).fill(0);
    for (const s of seconds) counts[Math.min(bins - 1, Math.floor(s / width))]++;
    const most = Math.max(...counts);
    const frame = plotFrame(480, 220, { left: 48, right: 12, top: 10, bottom: 36 }, width * bins,
                            most, "seconds", "rooms", true);
    counts.forEach((count, k) => {
      if (count === 0) return;
      const bar = svgElement("rect", { x: frame.x(k * width) + 1, y: frame.y(count),
                                       width: Math.max(1, frame.w / bins - 2),
                                       height: frame.y(0) - frame.y(count), fill: "#4878a8" });
      bar.append(svgElement("title", {}, count + " rooms, " + (k * width).toFixed(3) + " to " +
                            ((k + 1) * width).toFixed(3) + " s"));
      frame.svg.append(bar);
    });
    figure.append(frame.svg);
  }
  function drawScatter() {
    const points = [];
    rooms.forEach((r, k) => {
      if (r[column.volume] !== null && r[column.rt1000] !== null) points.push(k);
    });
    if (points.length === 0) return;
    const figure = document.getElementById("scatter");
    figure.hidden = false;
    let xTop = 0;
    let yTop = 0;
    for (const k of points) {
      xTop = Math.max(xTop, rooms[k][column.volume]);
      yTop = Math.max(yTop, rooms[k][column.rt1000]);
    }
    xTop = xTop > 0 ? xTop * 1.05 : 1;
    yTop = yTop > 0 ? yTop * 1.1 : 1;
    const frame = plotFrame(480, 220, { left: 48, right: 12, top: 10, bottom: 36 }, xTop, yTop,
                            "volume (m\u00b3)", "RT60 1 kHz (s)");
    // All points as one path of round dots (an element per point would cost
    // seconds at 10,000 rooms); the room nearest a click opens.
    const at = points.map((k) => [frame.x(rooms[k][column.volume]),
                                  frame.y(rooms[k][column.rt1000])]);
    frame.svg.append(svgElement("path", {
      d: at.map(([x, y]) => "M" + x.toFixed(1) + " " + y.toFixed(1) + "h0").join(""),
      stroke: "#c05030", "stroke-opacity": 0.6, "stroke-width": 6, "stroke-linecap": "round" }));
    const hint = svgElement("title", {}, "");
    frame.svg.append(hint);
    function nearest(event) {
      const box = frame.svg.getBoundingClientRect();
      const x = event.clientX - box.left;
      const y = event.clientY - box.top;
      let best = -1;
      let bestDistance = 36;
      at.forEach(([px, py], n) => {
        const d = (px - x) * (px - x) + (py - y) * (py - y);
        if (d < bestDistance) { best = n; bestDistance = d; }
      });
      return best < 0 ? -1 : points[best];
    }
    frame.svg.addEventListener("mousemove", (event) => {
      const k = nearest(event);
      hint.textContent = k < 0 ? "" : rooms[k][column.room];
      frame.svg.style.cursor = k < 0 ? "" : "pointer";
    });
    frame.svg.addEventListener("click", (event) => {
      const k = nearest(event);
      if (k >= 0) openDetail(k);
    });
    figure.append(frame.svg);
  }
  drawHistogram();
  drawScatter();

  // --- The table ----------------------------------------------------------
  const columns = [];
  if (hasPreview) columns.push({ title: "", width: "112px", cell: thumbCell });
  columns.push({ key: "room", title: "Room", width: "minmax(12em, 3fr)" });
  columns.push({ key: "status", title: "Status", width: "6em" });
  columns.push({ key: "seconds", title: "Seconds", width: "7em", digits: 3 });
  columns.push({ key: "planes", title: "Planes", width: "6em" });
  columns.push({ key: "cuboids", title: "Cuboids", width: "6em" });
  columns.push({ key: "faces", title: "Faces", width: "6em" });
  if (hasAcoustics) {
    columns.push({ key: "volume", title: "Volume (m\u00b3)", width: "8em", digits: 2 });
    columns.push({ key: "rt500", title: "RT60 500 Hz", width: "8em", digits: 3 });
    columns.push({ key: "rt1000", title: "RT60 1 kHz", width: "8em", digits: 3 });
  }
  const template = columns.map((c) => c.width).join(" ");
  const rowHeight = hasPreview ? 60 : 30;
  const head = document.getElementById("table-head");
  head.style.gridTemplateColumns = template;
  const viewport = document.getElementById("viewport");
  const spacer = document.getElementById("spacer");
  const filterInput = document.getElementById("filter");
  const statusSelect = document.getElementById("status-filter");
  const state = { sortKey: "room", ascending: true, filter: "", status: "" };
  let order = [];

  function thumbCell(room) {
    const cell = element("span", null, "thumb");
    if (room[column.outputs].includes(previewName)) {
      const img = element("img");
      img.loading = "lazy";
      img.decoding = "async";
      img.alt = "";
      img.src = fileUrl(room, previewName);
      cell.append(img);
    }
    return cell;
  }

  columns.forEach((c) => {
    const cell = element("span", c.title);
    cell.setAttribute("role", "columnheader");
    if (c.key) {
      cell.dataset.key = c.key;
      if (c.key !== "room" && c.key !== "status") cell.className = "number";
      cell.addEventListener("click", () => {
        if (state.sortKey === c.key) state.ascending = !state.ascending;
        else { state.sortKey = c.key; state.ascending = c.key === "room" || c.key === "status"; }
        update();
      });
    }
    head.append(cell);
  });

  // Empty values sort last either way.
  function compare(key, ascending) {
    const k = column[key];
    const sign = ascending ? 1 : -1;
    return (a, b) => {
      const x = rooms[a][k];
      const y = rooms[b][k];
      if (x === null || y === null) return x === y ? a - b : x === null ? 1 : -1;
      if (x < y) return -sign;
      if (x > y) return sign;
      return a - b;
    };
  }

  function update() {
    const needle = state.filter.toLowerCase();
    order = [];
    for (let k = 0; k < rooms.length; k++) {
      if (state.status && rooms[k][column.status] !== state.status) continue;
      if (needle && !rooms[k][column.room].toLowerCase().includes(needle)) continue;
      order.push(k);
    }
    order.sort(compare(state.sortKey, state.ascending));
    for (const cell of head.children) {
      if (cell.dataset.key === state.sortKey) {
        cell.setAttribute("aria-sort", state.ascending ? "ascending" : "descending");
      } else {
        cell.removeAttribute("aria-sort");
      }
    }
    document.getElementById("shown").textContent =
      order.length === rooms.length ? rooms.length + " rooms"
                                    : order.length + " of " + rooms.length + " rooms";
    spacer.style.height = order.length * rowHeight + "px";
    drawn.first = -1;
    drawRows();
    saveState();
  }

  // Draws the rows in view and a few around them, reusing none: a screenful
  // is a few dozen rows.
  const drawn = { first: -1, last: -1 };
  function drawRows() {
    const first = Math.max(0, Math.floor(viewport.scrollTop / rowHeight) - 5);
    const last = Math.min(order.length,
                          Math.ceil((viewport.scrollTop + viewport.clientHeight) / rowHeight) + 5);
    if (first === drawn.first && last === drawn.last) return;
    drawn.first = first;
    drawn.last = last;
    const fragment = document.createDocumentFragment();
    for (let n = first; n < last; n++) {
      const k = order[n];
      const room = rooms[k];
      const row = element("div", null, "row");
      row.setAttribute("role", "row");
      row.dataset.index = k;
      row.style.top = n * rowHeight + "px";
      row.style.height = rowHeight + "px";
      row.style.gridTemplateColumns = template;
      for (const c of columns) {
        if (c.cell) { row.append(c.cell(room)); continue; }
        const value = room[column[c.key]];
        let cell;
        if (c.key === "room" || c.key === "status") {
          cell = element("span", value, c.key === "status" ? "status-" + value : "");
          if (c.key === "room") cell.title = value;
        } else {
          cell = element("span", c.key === "seconds" ? numberText(value, 3)
                                                     : numberText(value, c.digits), "number");
        }
        cell.setAttribute("role", "cell");
        row.append(cell);
      }
      fragment.append(row);
    }
    spacer.replaceChildren(fragment);
  }
  let scheduled = false;
  viewport.addEventListener("scroll", () => {
    if (scheduled) return;
    scheduled = true;
    requestAnimationFrame(() => { scheduled = false; drawRows(); });
  });
  window.addEventListener("resize", () => { drawn.first = -1; drawRows(); });
  spacer.addEventListener("click", (event) => {
    const row = event.target.closest(".row");
    if (row) openDetail(Number(row.dataset.index));
  });
  filterInput.addEventListener("input", () => { state.filter = filterInput.value; update(); });
  statusSelect.addEventListener("change", () => { state.status = statusSelect.value; update(); });

  // The sort, the filter and the open room live in the address's fragment,
  // so that a reload (while the batch runs) keeps them.
  function saveState() {
    const params = new URLSearchParams();
    params.set("sort", state.sortKey);
    params.set("order", state.ascending ? "up" : "down");
    if (state.filter) params.set("filter", state.filter);
    if (state.status) params.set("status", state.status);
    if (openRoom !== null) params.set("room", rooms[openRoom][column.room]);
    history.replaceState(null, "", "#" + params.toString());
  }
  function loadState() {
    const params = new URLSearchParams(location.hash.slice(1));
    if (column[params.get("sort")] !== undefined &&
        columns.some((c) => c.key === params.get("sort"))) {
      state.sortKey = params.get("sort");
      state.ascending = params.get("order") !== "down";
    }
    state.filter = params.get("filter") || "";
    state.status = ["done", "failed"].includes(params.get("status")) ? params.get("status") : "";
    filterInput.value = state.filter;
    statusSelect.value = state.status;
    return params.get("room");
  }

  // --- A room's detail ------------------------------------------------------
  const detail = document.getElementById("detail");
  let openRoom = null;
  function openDetail(k) {
    const room = rooms[k];
    openRoom = k;
    document.getElementById("detail-name").textContent = room[column.room];
    const status = room[column.status] === "done"
      ? "done in " + numberText(room[column.seconds], 3) + " s: " + room[column.planes] +
        " planes, " + room[column.cuboids] + " cuboids, " + room[column.faces] + " faces" +
        (room[column.volume] !== null ? ", volume " + numberText(room[column.volume], 2) + " m\u00b3"
                                      : "") +
        (room[column.rt1000] !== null ? ", RT60 1 kHz " + numberText(room[column.rt1000], 3) + " s"
                                      : "")
      : "failed after " + numberText(room[column.seconds], 3) + " s: " + room[column.message];
    const statusLine = document.getElementById("detail-status");
    statusLine.textContent = status;
    statusLine.className = "status-" + room[column.status];
    const outputs = document.getElementById("detail-outputs");
    outputs.replaceChildren();
    for (const name of room[column.outputs]) {
      const item = element("li");
      const link = element("a", name);
      link.href = fileUrl(room, name);
      item.append(link);
      outputs.append(item);
    }
    const previewLink = document.getElementById("detail-preview-link");
    const preview = document.getElementById("detail-preview");
    if (room[column.outputs].includes(previewName)) {
      previewLink.href = fileUrl(room, previewName);
      preview.src = previewLink.href;
      previewLink.hidden = false;
    } else {
      preview.removeAttribute("src");
      previewLink.hidden = true;
    }
    detail.hidden = false;
    const key = room[column.glb];
    document.getElementById("detail-view").hidden = !key;
    if (key) showView(key); else closeView();
    saveState();
  }
  function closeDetail() {
    detail.hidden = true;
    openRoom = null;
    closeView();
    saveState();
  }
  document.getElementById("detail-close").addEventListener("click", closeDetail);
  detail.addEventListener("click", (event) => { if (event.target === detail) closeDetail(); });
  document.addEventListener("keydown", (event) => {
    if (event.key === "Escape" && !detail.hidden) closeDetail();
  });

  // --- The 3D view ----------------------------------------------------------
  // three.js and each room's GLB come as scripts from the folder beside the
  // page: a page opened from file:// may load scripts but may not read files.
  const filesFolder = encodeURIComponent(data.files);
  function loadScript(url) {
    return new Promise((resolve, reject) => {
      const script = document.createElement("script");
      script.src = url;
      script.onload = () => { script.remove(); resolve(); };
      script.onerror = () => { script.remove(); reject(new Error("Cannot load " + url)); };
      document.head.append(script);
    });
  }
  let threeLoaded = null;
  function loadThree() {
    if (!threeLoaded) {
      threeLoaded = loadScript(filesFolder + "/three.min.js").then(() => Promise.all([
        loadScript(filesFolder + "/GLTFLoader.js"),
        loadScript(filesFolder + "/OrbitControls.js")]));
    }
    return threeLoaded;
  }
  const glbWaiting = new Map();
  window.roomboxGlb = function (key, base64) {
    const waiting = glbWaiting.get(key);
    if (!waiting) return;
    glbWaiting.delete(key);
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let k = 0; k < text.length; k++) bytes[k] = text.charCodeAt(k);
    waiting(bytes.buffer);
  };
  function loadGlb(key) {
    return new Promise((resolve, reject) => {
      glbWaiting.set(key, resolve);
      loadScript(filesFolder + "/glb/" + encodeURIComponent(key) + ".js").then(() => {
        if (glbWaiting.has(key)) { glbWaiting.delete(key); reject(new Error("No GLB in " + key)); }
      }, reject);
    });
  }

  const viewState = document.getElementById("view-state");
  const canvas = document.getElementById("view-canvas");
  const ceilingBox = document.getElementById("view-ceiling");
  // The view of the open room: renderer, scene, camera and controls; the
  // renderer stays for the next room.
  const view = { renderer: null, scene: null, camera: null, controls: null, key: null,
                 meshes: 0, frame: 0 };
  window.roomboxView = view;
  function closeView() {
    view.key = null;
    if (view.frame) cancelAnimationFrame(view.frame);
    view.frame = 0;
    if (view.scene) disposeScene(view.scene);
    view.scene = null;
    if (view.controls) view.controls.dispose();
    view.controls = null;
  }
  function disposeScene(scene) {
    scene.traverse((object) => {
      if (!object.isMesh) return;
      object.geometry.dispose();
      const materials = Array.isArray(object.material) ? object.material : [object.material];
      for (const m of materials) { if (m.map) m.map.dispose(); m.dispose(); }
    });
  }
  function showView(key) {
    closeView();
    view.key = key;
    viewState.textContent = "Loading\u2026";
    loadThree()
      .then(() => loadGlb(key))
      .then((buffer) => new Promise((resolve, reject) => {
        new THREE.GLTFLoader().parse(buffer, "", resolve, reject);
      }))
      .then((gltf) => {
        if (view.key !== key) { disposeScene(gltf.scene); return; }
        startView(gltf.scene);
        viewState.textContent = "";
      })
      .catch((error) => {
        if (view.key === key) viewState.textContent = "Cannot show the 3D view: " + error.message;
      });
  }
  function startView(room) {
    if (!view.renderer) {
      view.renderer = new THREE.WebGLRenderer({ canvas, antialias: true });
      view.renderer.setPixelRatio(window.devicePixelRatio || 1);
    }
    view.renderer.setSize(canvas.clientWidth || 960, (canvas.clientWidth || 960) * 9 / 16, false);
    const scene = new THREE.Scene();
    scene.background = new THREE.Color(0x20242a);
    scene.add(room);
    view.meshes = 0;
    room.traverse((object) => { if (object.isMesh) view.meshes++; });
    view.scene = scene;
    view.room = room;
    view.bounds = new THREE.Box3().setFromObject(room);
    view.camera = new THREE.PerspectiveCamera(60, 16 / 9, 0.01, 1000);
    view.controls = new THREE.OrbitControls(view.camera, canvas);
    showCeiling(ceilingBox.checked);
    orbit();
    const tick = () => {
      view.frame = requestAnimationFrame(tick);
      view.controls.update();
      view.renderer.render(view.scene, view.camera);
    };
    tick();
  }
  // Nodes carry their scene entry's category in their extras.
  function showCeiling(shown) {
    if (!view.room) return;
    view.room.traverse((object) => {
      if (object.userData && object.userData.Category === "Ceiling") object.visible = shown;
    });
  }
  // Around the room, from above one corner.
  function orbit() {
    if (!view.controls) return;
    const center = view.bounds.getCenter(new THREE.Vector3());
    const size = view.bounds.getSize(new THREE.Vector3()).length();
    view.camera.position.set(center.x + size * 0.6, center.y + size * 0.7, center.z + size * 0.6);
    view.controls.target.copy(center);
    view.controls.enableZoom = true;
    view.controls.enablePan = true;
    view.controls.update();
  }
  // From the panorama's capture point, the origin of the room's frame:
  // dragging turns the view about it.
  function fromCapturePoint() {
    if (!view.controls) return;
    view.camera.position.set(0, 0, 0);
    view.controls.target.set(0, 0, -0.001);
    view.controls.enableZoom = false;
    view.controls.enablePan = false;
    view.controls.update();
  }
  document.getElementById("view-orbit").addEventListener("click", orbit);
  document.getElementById("view-capture").addEventListener("click", fromCapturePoint);
  ceilingBox.addEventListener("change", () => showCeiling(ceilingBox.checked));

  const roomAsked = loadState();
  update();
  if (roomAsked !== null) {
    const k = rooms.findIndex((r) => r[column.room] === roomAsked);
    if (k >= 0) openDetail(k);
  }
  // While the batch runs the page is rewritten every 30 s: reload then,
  // unless a room is open.
  if (data.running) {
    setInterval(() => { if (openRoom === null) location.reload(); }, 30000);
  }
})();
