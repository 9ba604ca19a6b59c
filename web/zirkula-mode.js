// Zirkula's scripts in the editor (CodeMirror 5): highlighted by the language's own rules,
// and checked as the author types.
//
// A line splits into tokens at blanks, commas and equals signs; a token that starts with a
// double quote (a text) or a bracket (a colour) runs to its closing character, and the
// character after that is swallowed. A token whose first character lies at or above "A" is a
// keyword or a name; digits, "&", "(" and "-" start numbers (&H.., 0x.. and (r, g, b) are
// colours); a double quote a text; any other character starts a comment that runs to the end
// of the line, and a line that starts with a tab is a comment.
'use strict';

const ZirkulaEditor = (() => {
  const keywords = new Set();

  CodeMirror.defineMode('zirkula', () => ({
    startState: () => ({ comment: false }),
    token(stream, state) {
      if (stream.sol()) state.comment = stream.peek() === '\t';
      if (state.comment) {
        stream.skipToEnd();
        return 'comment';
      }
      if (stream.eatWhile(/[ ,=]/)) return null;
      const first = stream.next();
      if (first === '"' || first === '(') {
        if (stream.skipTo(first === '"' ? '"' : ')')) {
          stream.next();
          if (!stream.eol()) stream.next();
        } else {
          stream.skipToEnd();
        }
        return first === '"' ? 'string' : 'atom';
      }
      stream.eatWhile(/[^ ,=]/);
      const word = stream.current();
      if (word.charCodeAt(0) >= 65) return keywords.has(word.toUpperCase()) ? 'keyword' : 'variable';
      if (/^[0-9&-]/.test(word)) return /^(&h|0x)/i.test(word) ? 'atom' : 'number';
      state.comment = true;
      stream.skipToEnd();
      return 'comment';
    },
  }));

  // The compiler's errors and warnings as the lint add-on's marks.
  async function annotations(text, update) {
    const found = await Zirkula.check(text);
    const lines = text.split('\n');
    update(found.map((d) => ({
      from: CodeMirror.Pos(d.line - 1, 0),
      to: CodeMirror.Pos(d.line - 1, (lines[d.line - 1] || '').length),
      message: d.kind === 'error' ? `Fehler ${d.number}: ${d.message}` : `Warnung: ${d.message}`,
      severity: d.kind,
    })));
  }

  // Moves the focus to the control before or after the editor in the order of Tab.
  function leave(cm, by) {
    const all = Array.from(document.querySelectorAll(
      'button, input, select, textarea, [tabindex], [contenteditable="true"]'))
      .filter((e) => !e.disabled && e.tabIndex >= 0 && e.offsetParent !== null);
    const wrapper = cm.getWrapperElement();
    const inside = all.filter((e) => wrapper.contains(e));
    const from = all.indexOf(by > 0 ? inside[inside.length - 1] : inside[0]);
    const next = all[from + by];
    if (next) next.focus();
  }

  // An editor in place of the textarea; highlights keywords once the engine has named them.
  function create(textarea) {
    // Tab indents; after Esc it leaves the editor, so the keyboard is never caught in it.
    let leaving = false;
    const editor = CodeMirror.fromTextArea(textarea, {
      mode: 'zirkula',
      lineNumbers: true,
      indentWithTabs: false,
      gutters: ['CodeMirror-lint-markers'],
      lint: { getAnnotations: annotations, async: true, delay: 500 },
      // Editable text a screen reader reads as text, with the editor's name.
      inputStyle: 'contenteditable',
      screenReaderLabel: textarea.getAttribute('aria-label') || 'Skript',
      extraKeys: {
        Tab: (cm) => (leaving ? leave(cm, 1) : cm.replaceSelection('  ')),
        'Shift-Tab': (cm) => leave(cm, -1),
      },
    });
    editor.on('keydown', (cm, event) => {
      if (event.key !== 'Tab' && event.key !== 'Shift') leaving = event.key === 'Escape';
    });
    editor.on('blur', () => { leaving = false; });
    Zirkula.keywords().then((words) => {
      words.forEach((w) => keywords.add(w));
      editor.setOption('mode', 'zirkula');
    });
    return editor;
  }

  return { create };
})();
