// The class page: a teacher chooses (or drops) a class's record files, and the
// page shows the class: the first attempt of each pupil at each problem, each
// problem's sums, each pupil's, filtered by dates, program and 組. The files
// are read and summed by the program (web/class_main.cpp, the same code as the
// terminal's varnel-class); the page only draws what it answers. Everything
// from a file is shown as text (textContent), never as markup, and nothing
// leaves the page: no storage, no network.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const FILE_MAX = 32 * 1024 * 1024;   // as the program's reader: no pupil's record comes near it
  let program = null;                  // the compiled program, once loaded
  let view = null;                     // what the program last answered for the filters
  let timing = null;                   // { from } while a choice of files is being read
  // What a test or a benchmark reads: whether the program is in, and for each
  // choice of files the milliseconds to read them and to draw the class.
  window.classPage = { timings: [], ready: null, loaded: false, memory: () => program?.HEAPU8.length ?? 0 };

  // ---- the program ------------------------------------------------------------
  const utf8 = new TextEncoder();
  function call(name, ...args) {
    const held = [];
    const values = args.map((a) => {
      if (typeof a !== 'string') return a;
      const bytes = utf8.encode(a + '\0');
      const p = program._malloc(bytes.length);
      program.HEAPU8.set(bytes, p);
      held.push(p);
      return p;
    });
    try {
      const result = program['_' + name](...values);
      return typeof result === 'number' && name !== 'class_reset' ? program.UTF8ToString(result) : result;
    } finally {
      held.forEach((p) => program._free(p));
    }
  }
  function addFile(name, bytes) {
    const p = program._malloc(Math.max(1, bytes.length));
    program.HEAPU8.set(bytes, p);
    try {
      const nameBytes = utf8.encode(name + '\0');
      const n = program._malloc(nameBytes.length);
      program.HEAPU8.set(nameBytes, n);
      const answer = JSON.parse(program.UTF8ToString(program._class_add(n, p, bytes.length)));
      program._free(n);
      return answer;
    } finally {
      program._free(p);
    }
  }

  // ---- small helpers ----------------------------------------------------------
  const el = (tag, text, attrs = {}) => {
    const e = document.createElement(tag);
    if (text !== undefined && text !== null) e.textContent = String(text);
    for (const [k, v] of Object.entries(attrs)) {
      if (k === 'class') e.className = v;
      else e.setAttribute(k, v);
    }
    return e;
  };
  const two = (n) => String(n).padStart(2, '0');
  const localDate = (d = new Date()) => `${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())}`;
  const duration = (s) => (s >= 3600 ? `${Math.floor(s / 3600)}時間${Math.floor((s % 3600) / 60)}分`
    : `${Math.floor(s / 60)}分${two(s % 60)}秒`);
  const programName = (p) => ({ varnel1: '正の数・負の数（1）', varnel2: '絶対値・数の大小・数直線' }[p] ?? p);
  const columnName = (p) => `${p.program === 'varnel1' ? '1' : p.program === 'varnel2' ? '2' : p.program}-${p.number}`;
  const pupilName = (p) => (p.file ? `（${p.file}）` : p.name || '（名前なし）');
  const classLabel = (c) => c.replace(/組?$/, '組');   // (a 組 typed with its 組, "2年3組", gets no other)
  const pupilLabel = (p) => [p.class && classLabel(p.class), p.number && `${p.number}番`, pupilName(p)].filter(Boolean).join(' ');

  // ---- reading files ----------------------------------------------------------
  // The files of a dropped folder, and of its folders, as File objects.
  function filesOfEntry(entry) {
    if (entry.isFile) return new Promise((done) => entry.file((f) => done([f]), () => done([])));
    if (!entry.isDirectory) return Promise.resolve([]);
    const reader = entry.createReader();
    const all = [];
    return new Promise((done) => {
      const more = () => reader.readEntries(async (entries) => {
        if (entries.length === 0) {
          const nested = await Promise.all(all.map(filesOfEntry));
          done(nested.flat());
          return;
        }
        all.push(...entries.filter((e) => e.isDirectory || /\.csv$/i.test(e.name)));
        more();
      }, () => done([]));
      more();
    });
  }

  async function read(files) {
    if (!files.length) return;
    timing = { from: performance.now() };
    $('status').textContent = `${files.length} 個のファイルを読んでいます…`;
    await window.classPage.ready;
    // The files are read all at once (the browser reads them side by side), and
    // handed to the program in the order chosen.
    const contents = files.map((f) => (f.size > FILE_MAX ? Promise.resolve('big')
      : f.arrayBuffer().then((b) => new Uint8Array(b), () => null)));
    const notes = [];
    for (const [i, f] of files.entries()) {
      const name = f.webkitRelativePath || f.name;
      const bytes = await contents[i];
      if (bytes === 'big') notes.push({ name, trouble: `ファイルが大きすぎます（${Math.round(f.size / 1048576)} MB）`, record: false, rows: 0, newRows: 0 });
      else if (bytes === null) notes.push({ name, trouble: '読めません', record: false, rows: 0, newRows: 0 });
      else notes.push(addFile(name, bytes));
    }
    timing.read = performance.now();
    showFiles(notes);
    setUpFilters();
    render();
  }

  const filesBody = () => $('files').tBodies[0];
  function showFiles(notes) {
    const body = filesBody();
    for (const n of notes) {
      const state = n.trouble ? n.trouble : n.newRows < n.rows ? `読めました（${n.rows - n.newRows} 行はほかのファイルと同じため1回だけ数えます）` : '読めました';
      const tr = el('tr', null, n.trouble ? { class: 'trouble' } : {});
      tr.append(el('td', n.name), el('td', n.rows, { class: 'n' }), el('td', state));
      body.append(tr);
    }
    const all = body.rows.length;
    const troubled = [...body.rows].filter((r) => r.classList.contains('trouble')).length;
    $('files-summary').textContent = `読み込んだファイル ${all} 個${troubled ? `（読めなかったもの・一部読めなかったもの ${troubled} 個）` : ''}`;
    $('files-box').hidden = false;
    if (troubled) $('files-box').open = true;
    $('clear').disabled = false;
    const problems = notes.filter((n) => n.trouble);
    $('status').textContent = `${notes.length} 個のファイルを読みました。` +
      (problems.length ? `${problems.length} 個には問題があります: ${problems.map((n) => `${n.name}（${n.trouble}）`).join('、')}` : '');
  }

  // ---- filters ------------------------------------------------------------------
  function fill(select, values, label) {
    const chosen = select.value;
    select.replaceChildren(el('option', 'すべて', { value: '' }), ...values.map((v) => el('option', label(v), { value: v })));
    if (values.includes(chosen)) select.value = chosen;
  }
  let meta = { dates: [] };
  function setUpFilters() {
    meta = JSON.parse(call('class_meta'));
    fill($('program'), meta.programs, programName);
    fill($('class'), meta.classes, classLabel);
    const today = localDate();
    if (meta.dates.includes(today)) {
      $('from').value = $('to').value = today;
    } else {
      $('from').value = meta.dates[0] ?? '';
      $('to').value = meta.dates[meta.dates.length - 1] ?? '';
    }
    $('filters').hidden = false;
  }

  // ---- the class ----------------------------------------------------------------
  function render() {
    const from = $('from').value, to = $('to').value;
    view = JSON.parse(call('class_view', from, to, $('program').value, $('class').value,
                           $('which').value === 'first' ? 1 : 0));
    drawGrid();
    drawProblems();
    drawPupils();
    $('cell-box').hidden = true;
    for (const id of ['grid-box', 'problems-box', 'pupils-box']) $(id).hidden = false;
    const when = from === to ? from : `${from || 'はじめ'} 〜 ${to || 'いま'}`;
    $('grid-caption').textContent = `${view.pupils.length} 人、${when}` +
      ($('class').value ? `、${classLabel($('class').value)}` : '') + ($('program').value ? `、${programName($('program').value)}` : '');
    if (timing) {   // the first drawing of what was chosen, once the browser has laid it out
      const t = timing;
      timing = null;
      requestAnimationFrame(() => {
        t.drawn = performance.now();
        window.classPage.timings.push({ read: t.read - t.from, drawn: t.drawn - t.from, rows: meta.rows });
      });
    }
  }

  const MARK_CLASS = { '○': 'right', '×': 'wrong', 中断: 'left' };
  const MARK_SAID = { '○': '1回目で正解', '×': '1回目は不正解', '—': '解いていない' };
  function drawGrid() {
    const table = $('grid');
    const head = el('tr');
    head.append(el('th', '児童', { scope: 'col' }));
    for (const p of view.problems) {
      const th = el('th', columnName(p), { scope: 'col', title: `${programName(p.program)} 問題${p.number} ${p.topic}` });
      th.append(el('span', ` ${p.topic}`, { class: 'unseen' }));   // (what a screen reader says of the column)
      head.append(th);
    }
    table.tHead.replaceChildren(head);
    const rows = view.pupils.map((p, i) => {
      const tr = el('tr');
      tr.append(el('th', pupilLabel(p), { scope: 'row', class: p.file ? 'name-file' : '' }));
      p.cells.forEach(([mark, sign, n], c) => {
        const td = el('td', null, MARK_CLASS[mark] ? { class: MARK_CLASS[mark] } : {});
        const prob = view.problems[c];
        // Its name is what it shows, said in full: the row's and the column's
        // headers say whose and which.
        const b = el('button', mark, { type: 'button', tabindex: '-1', 'data-p': i, 'data-c': c,
                                       title: `${pupilLabel(p)}　${columnName(prob)} ${prob.topic}` });
        if (n === 0) b.disabled = true;
        if (sign) {
          const badge = el('span', '符', { class: 'sign' });
          badge.append(el('span', '号の誤り', { class: 'unseen' }));
          b.append(badge);
        }
        if (MARK_SAID[mark]) b.append(el('span', ` ${MARK_SAID[mark]}`, { class: 'unseen' }));
        td.append(b);
        tr.append(td);
      });
      return tr;
    });
    table.tBodies[0].replaceChildren(...rows);
    const first = table.querySelector('tbody button:not(:disabled)');
    if (first) first.tabIndex = 0;
  }

  // The grid is one stop of Tab; the arrow keys move within it, Enter opens a cell.
  $('grid').addEventListener('keydown', (e) => {
    const b = e.target.closest('button');
    if (!b || !e.key.startsWith('Arrow')) return;
    e.preventDefault();
    let p = +b.dataset.p, c = +b.dataset.c;
    const step = { ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1] }[e.key];
    for (;;) {
      p += step[0];
      c += step[1];
      const next = $('grid').querySelector(`button[data-p="${p}"][data-c="${c}"]`);
      if (!next) return;
      if (!next.disabled) {
        b.tabIndex = -1;
        next.tabIndex = 0;
        next.focus();
        return;
      }
    }
  });
  $('grid').addEventListener('click', (e) => {
    const b = e.target.closest('button');
    if (!b || b.disabled) return;
    for (const other of $('grid').querySelectorAll('button[tabindex="0"]')) other.tabIndex = -1;
    b.tabIndex = 0;
    showCell(+b.dataset.p, +b.dataset.c);
  });

  function showCell(p, c) {
    const pupil = view.pupils[p], prob = view.problems[c];
    const rows = JSON.parse(call('class_cell', p, c));
    $('cell-title').textContent = `${pupilLabel(pupil)}　${programName(prob.program)} 問題${prob.number} ${prob.topic}`;
    $('cell').tBodies[0].replaceChildren(...rows.map((r) => {
      const tr = el('tr');
      r.forEach((v, i) => tr.append(el('td', v, i === 5 || i === 6 ? { class: 'n' } : {})));
      return tr;
    }));
    $('cell-box').hidden = false;
    $('cell-title').focus();
  }

  // A share in whole per cent, rounded to the nearest (a half up), in whole
  // numbers so that the terminal's summary says the same.
  const percent = (part, whole) => Math.floor((200 * part + whole) / (2 * whole));
  const barCell = (value, share, text, sign) => {
    const td = el('td');
    const box = el('div', null, { class: 'bar-cell' });
    const fill = el('span', null, { class: sign ? 'fill sign-bar' : 'fill' });
    fill.style.width = `${Math.round(share * 100)}px`;   // (the style sheet's rules allow no style attribute)
    box.append(fill, el('span', text));
    td.append(box);
    return td;
  };
  function drawProblems() {
    $('problems').tBodies[0].replaceChildren(...view.problems.map((p) => {
      const tr = el('tr');
      const share = p.worked ? p.firstRight / p.worked : 0;
      tr.append(el('td', programName(p.program)), el('td', p.number, { class: 'n' }), el('td', p.topic),
                el('td', p.worked, { class: 'n' }),
                barCell(p.firstRight, share, p.worked ? `${percent(p.firstRight, p.worked)}%（${p.firstRight}人）` : '—'),
                barCell(p.signErrors, p.worked ? p.signErrors / Math.max(1, p.worked) : 0, `${p.signErrors}人`, true),
                el('td', p.medianHints, { class: 'n' }), el('td', p.medianSeconds, { class: 'n' }));
      return tr;
    }));
  }

  function drawPupils() {
    const order = $('order').value === 'help' ? view.helpFirst : view.pupils.map((_, i) => i);
    $('pupils').tBodies[0].replaceChildren(...order.map((i) => {
      const p = view.pupils[i];
      const tr = el('tr');
      tr.append(el('td', p.class), el('td', p.number, { class: 'n' }), el('td', pupilName(p), p.file ? { class: 'name-file' } : {}),
                el('td', p.worked, { class: 'n' }), el('td', p.firstRight, { class: 'n' }),
                el('td', p.signErrors, { class: 'n' }), el('td', p.unfinished, { class: 'n' }),
                el('td', duration(p.seconds), { class: 'n' }));
      return tr;
    }));
  }

  // ---- controls -------------------------------------------------------------------
  const chosen = (input) => {
    read([...input.files].filter((f) => input.id !== 'pick-folder' || /\.csv$/i.test(f.name)));
    input.value = '';
  };
  $('pick-files').addEventListener('change', (e) => chosen(e.target));
  $('pick-folder').addEventListener('change', (e) => chosen(e.target));
  const drop = $('drop');
  for (const type of ['dragenter', 'dragover']) {
    document.addEventListener(type, (e) => {
      e.preventDefault();
      drop.classList.add('over');
    });
  }
  document.addEventListener('dragleave', () => drop.classList.remove('over'));
  document.addEventListener('drop', async (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    // Folders come as entries; where the browser gives none it reads (or none at all), the files themselves.
    const dropped = [...e.dataTransfer.files];
    const entries = [...(e.dataTransfer.items ?? [])].map((i) => i.webkitGetAsEntry?.()).filter(Boolean);
    const files = entries.length ? (await Promise.all(entries.map(filesOfEntry))).flat() : [];
    read(files.length ? files : dropped);
  });
  $('clear').addEventListener('click', () => {
    call('class_reset');
    view = null;
    filesBody().replaceChildren();
    for (const id of ['files-box', 'filters', 'grid-box', 'problems-box', 'pupils-box']) $(id).hidden = true;
    $('clear').disabled = true;
    $('status').textContent = '読み込んだ記録を消しました。';
  });
  for (const id of ['program', 'class', 'which']) $(id).addEventListener('change', () => render());
  // A period set the wrong way round: the other end follows the one just changed.
  for (const [id, other] of [['from', 'to'], ['to', 'from']]) {
    $(id).addEventListener('change', () => {
      const [from, to] = [$('from').value, $('to').value];
      if (from && to && from > to) $(other).value = $(id).value;
      render();
    });
  }
  $('all-days').addEventListener('click', () => {
    $('from').value = meta.dates[0] ?? '';
    $('to').value = meta.dates[meta.dates.length - 1] ?? '';
    render();
  });
  $('order').addEventListener('change', drawPupils);
  $('save').addEventListener('click', () => {
    const a = document.createElement('a');
    // (The program's text begins with the byte-order mark, which reading it as UTF-8 takes away.)
    const text = call('class_csv_text').replace(/^\ufeff?/, '\ufeff');
    a.href = URL.createObjectURL(new Blob([text], { type: 'text/csv' }));
    a.download = `クラスの記録-${localDate()}.csv`;
    a.click();
    setTimeout(() => URL.revokeObjectURL(a.href), 60000);
  });
  $('print').addEventListener('click', () => window.print());
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && !$('cell-box').hidden && $('cell-box').contains(document.activeElement)) {
      $('cell-box').hidden = true;
      $('grid').querySelector('tbody button[tabindex="0"]')?.focus();
    }
  });

  window.classPage.ready = ClassProgram().then((p) => {
    program = p;
    window.classPage.loaded = true;
  }, (e) => {
    $('status').textContent = `読み込めませんでした（${e}）`;
  });
})();
