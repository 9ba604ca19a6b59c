// The authoring page: the script in the editor beside its picture, the gallery, files,
// pictures and links to share.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const canvas = $('screen');
  const status = $('status');
  // Links longer than this are cut off by some mail programs, chats or learning platforms.
  const SafeLinkLength = 2000;

  let scriptName = 'skript.zir';
  let gallery = [];
  let chosen = null;  // the gallery entry in the editor, while it is unchanged

  function say(text) {
    status.textContent = text;
  }

  const editor = ZirkulaEditor.create($('source'));
  // An edited script is no longer the gallery's.
  editor.on('change', () => {
    chosen = null;
    $('present').disabled = true;
    $('gallery').value = '';
    $('about').textContent = '';
  });
  Zirkula.attach(canvas, $('console'));
  ZirkulaSteps.attach({ back: 'step-back', forward: 'step-forward', slider: 'step-slider',
    count: 'step-count', announce: 'step-announce', list: 'protocol-list' });
  // The line that made the step shown, marked in the editor while it holds the script run.
  let markedLine = null;
  Zirkula.onSteps((t) => {
    if (markedLine !== null) editor.removeLineClass(markedLine, 'background', 'step-line');
    markedLine = null;
    const step = t && t.steps[(t.replayingTo || t.current) - 1];
    if (!step || !step.line || t.script !== editor.getValue()) return;
    markedLine = editor.getLineHandle(step.line - 1);
    if (markedLine) editor.addLineClass(markedLine, 'background', 'step-line');
  });
  // Less motion, where the viewer's system asks for it: the instruments stay still.
  $('calm').checked = matchMedia('(prefers-reduced-motion: reduce)').matches;
  Zirkula.reducedMotion = $('calm').checked;
  $('calm').addEventListener('change', () => { Zirkula.reducedMotion = $('calm').checked; });
  Zirkula.onState((state) => {
    $('stop').disabled = state !== 'running';
    if (state === 'ended') say('Beendet.');
    if (state === 'running') say('Läuft …');
  });

  // A file's bytes as text: UTF-8 where they are valid UTF-8, else Windows-1252, as the
  // desktop program reads scripts.
  function decodeScript(bytes) {
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch (e) {
      return new TextDecoder('windows-1252').decode(bytes);
    }
  }

  function download(blob, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }

  async function run(input) {
    canvas.focus();
    say(input ? 'Vorführung läuft …' : 'Läuft …');
    editor.performLint();
    await Zirkula.run(editor.getValue(), { name: scriptName, input });
  }

  function load(text, name) {
    editor.setValue(text);
    editor.clearHistory();
    scriptName = name;
  }

  async function loadEntry(entry) {
    const response = await fetch(entry.script);
    load(decodeScript(new Uint8Array(await response.arrayBuffer())), entry.script.split('/').pop());
    chosen = entry;
    $('present').disabled = !entry.input;
    $('gallery').value = entry.script;
    $('about').textContent = `${entry.title}: ${entry.line}`;
  }

  async function present() {
    if (!chosen || !chosen.input) return;
    const response = await fetch(chosen.input);
    run(await response.text());
  }

  async function showShareDialog() {
    const fragment = await ZirkulaLink.encode(editor.getValue());
    const base = location.href.replace(/#.*$/, '').replace(/[^/]*$/, '');
    const link = `${base}index.html#${fragment}`;
    $('share-link').value = link;
    const embed = `${base}embed.html#${fragment}`;
    $('share-embed').value = `<iframe src="${embed}" width="660" height="500" ` +
      'style="border:0;max-width:100%" allowfullscreen title="Zirkula"></iframe>';
    const long = link.length > SafeLinkLength;
    $('share-length').textContent = `Der Link ist ${link.length.toLocaleString('de-DE')} Zeichen lang. ` +
      (long ? 'Das ist mehr, als manche Mailprogramme, Chats und Lernplattformen weitergeben ' +
        '(sicher sind etwa 2.000 Zeichen, manche brechen bei 2.047 oder 3.300 ab): ' +
        'besser das Skript als Datei verschicken.'
        : 'Das geht überall durch (sicher sind etwa 2.000 Zeichen).');
    $('share-length').classList.toggle('warn', long);
    $('share-download').classList.toggle('hidden', !long);
    $('share').showModal();
  }

  async function copy(id) {
    const field = $(id);
    field.select();
    try {
      await navigator.clipboard.writeText(field.value);
      say('In die Zwischenablage kopiert.');
    } catch (e) {
      say('Bitte den markierten Text selbst kopieren (Strg+C).');
    }
  }

  $('run').addEventListener('click', () => run());
  $('stop').addEventListener('click', () => Zirkula.stop());
  $('check').addEventListener('click', async () => {
    const found = await Zirkula.check(editor.getValue());
    editor.performLint();
    const errors = found.filter((d) => d.kind === 'error').length;
    say(found.length === 0 ? 'Keine Fehler.'
      : `${errors} Fehler, ${found.length - errors} Warnungen: Zeile ${found[0].line}: ${found[0].message}`);
  });
  $('fullscreen').addEventListener('click', () => Zirkula.fullscreen());
  $('picture').addEventListener('click', async () => {
    download(await Zirkula.pictureBlob(), scriptName.replace(/\.zir$/i, '') + '.png');
  });
  // The viewer input of the gallery entry in the editor, where it has a demonstration.
  const demonstration = async () => (chosen && chosen.input && chosen.script.endsWith(scriptName)
    ? (await fetch(chosen.input)).text() : '');
  // The editor's script run on the virtual clock (with the gallery entry's demonstration,
  // where it has one) into a file of this kind ('svg' or 'gif'): the run on the canvas keeps
  // neither. Script and name are taken when asked for: the editor may hold another by the
  // time the run has ended. Resolves to the file's name, or null when the script shows nothing.
  async function saveRun(kind, type) {
    const [script, name] = [editor.getValue(), scriptName];
    const input = await demonstration();
    const result = await Zirkula.run(script, { virtualClock: true, [kind]: true, name, input });
    if (!result[kind]) return null;
    const fileName = name.replace(/\.zir$/i, '') + '.' + kind;
    download(new Blob([result[kind]], { type }), fileName);
    return fileName;
  }
  // The finished drawing as vectors.
  $('svg-picture').addEventListener('click', async () => {
    const saved = await saveRun('svg', 'image/svg+xml');
    if (!saved) say('Kein Bild: das Skript öffnet keinen Bildschirm.');
  });
  // The whole run as an animated GIF, the same file the desktop program writes with --gif.
  $('gif-picture').addEventListener('click', async () => {
    say('GIF wird erstellt …');
    const gifName = await saveRun('gif', 'image/gif');
    say(gifName ? `${gifName} erstellt.` : 'Kein GIF: das Skript öffnet keinen Bildschirm.');
  });
  // A script file, or a picture that carries its script.
  async function openFile(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    const picture = await ZirkulaPicture.scriptOf(bytes);
    if (picture.message) return say(picture.message);
    const name = picture.script ? file.name.replace(/\.(png|svg)$/i, '') + '.zir' : file.name;
    load(decodeScript(picture.script || bytes), name);
    say(`${file.name} geöffnet.`);
  }
  $('file').addEventListener('change', async (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (file) openFile(file);
  });
  // A file dropped anywhere opens as Öffnen does; the editor would insert its text instead.
  editor.on('drop', (cm, event) => {
    if (event.dataTransfer.files.length) event.preventDefault();
  });
  window.addEventListener('dragover', (event) => event.preventDefault());
  window.addEventListener('drop', (event) => {
    if (!event.dataTransfer.files.length) return;
    event.preventDefault();
    openFile(event.dataTransfer.files[0]);
  });
  const saveScript = () =>
    download(new Blob([editor.getValue()], { type: 'text/plain;charset=utf-8' }), scriptName);
  $('save').addEventListener('click', saveScript);
  $('share-button').addEventListener('click', showShareDialog);
  $('share-copy').addEventListener('click', () => copy('share-link'));
  $('share-copy-embed').addEventListener('click', () => copy('share-embed'));
  $('share-download').addEventListener('click', saveScript);
  $('help-button').addEventListener('click', () => $('help').showModal());
  for (const close of document.querySelectorAll('dialog .close')) {
    close.addEventListener('click', () => close.closest('dialog').close());
  }
  $('gallery').addEventListener('change', async () => {
    const entry = gallery.find((e) => e.script === $('gallery').value);
    if (!entry) return;
    await loadEntry(entry);
    run();
  });
  $('present').addEventListener('click', present);
  Zirkula.attachBarButtons();

  async function fillGallery() {
    gallery = await (await fetch('gallery.json')).json();
    const groups = { gallery: 'Galerie', examples: 'Weitere Beispiele' };
    for (const [folder, label] of Object.entries(groups)) {
      const group = document.createElement('optgroup');
      group.label = label;
      for (const entry of gallery.filter((e) => e.script.startsWith(folder + '/'))) {
        const option = document.createElement('option');
        option.value = entry.script;
        option.textContent = entry.title;
        option.title = entry.line;
        group.appendChild(option);
      }
      $('gallery').appendChild(group);
    }
  }

  async function start() {
    try {
      await Zirkula.loadEngine();
    } catch (e) {
      say(Zirkula.LoadFailed);
      return;
    }
    await fillGallery();
    try {
      const shared = await ZirkulaLink.decode(location.hash);
      if (shared !== null) {
        load(shared, 'geteilt.zir');
        say('Skript aus dem Link geladen.');
        return run();
      }
    } catch (e) {
      say(e.message);
      return;
    }
    const demo = gallery.find((e) => e.script === 'examples/demo.zir');
    if (demo) {
      await loadEntry(demo);
      run();
    }
  }
  window.addEventListener('hashchange', () => location.reload());
  start();
})();
