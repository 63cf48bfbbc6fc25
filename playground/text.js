// The playground's text: what the editor shows and what the program is
// given. The editor holds a text's lines apart with \n and shows only the
// beginning of a very large one; the program reads the file as it is.
//   var texts = playgroundText(state, editor);
//   texts.open(text, bytes)  a text as read (and the file's bytes, if any)
//   texts.source()           { text, bytes } for the program
//   texts.sourceBytes()      the same as bytes, for Save
//   texts.fitsEditor(n)      whether n characters may be edited
// state.big is the whole of a text too large for the editor, or null.
function playgroundText(state, editor) {
  'use strict';

  // A text area holds its lines apart with \n whatever the file has. The
  // opened file's own bytes are kept: while the text is the one opened,
  // they are what is evaluated (the reports count lines as the program
  // does on that file), saved and exported. An edited text goes out with
  // the file's line ends when it has one kind only (\n otherwise).
  var opened = { text: '', original: '', bytes: null, lineEnd: '\n' };

  function lineEndOf(text) {
    var pairs = 0, returns = 0, feeds = 0, at;
    for (at = text.indexOf('\r'); at >= 0; at = text.indexOf('\r', at + 1)) {
      if (text.charCodeAt(at + 1) === 10) ++pairs;
      else ++returns;
    }
    for (at = text.indexOf('\n'); at >= 0; at = text.indexOf('\n', at + 1)) ++feeds;
    feeds -= pairs;
    if ((pairs > 0) + (returns > 0) + (feeds > 0) > 1) return null;
    return pairs ? '\r\n' : returns ? '\r' : '\n';
  }

  function currentText() { return state.big !== null ? state.big : editor.value; }

  // What the program is given: { text } and, for the file as opened, its
  // { bytes }.
  function source() {
    var text = currentText();
    if (text === opened.text) return { text: opened.original, bytes: opened.bytes };
    var lineEnd = opened.lineEnd || '\n';
    return { text: lineEnd === '\n' ? text : text.replace(/\n/g, lineEnd), bytes: null };
  }

  function sourceBytes() {
    var from = source();
    return from.bytes || new TextEncoder().encode(from.text);
  }

  // A text area takes seconds per change to lay out a few MiB (minutes for
  // tens): past kEditLimit characters, it shows the beginning, read only.
  var kEditLimit = 2 * 1048576;

  function fitsEditor(length) { return length <= kEditLimit; }

  function putText(text) {
    if (text.length > kEditLimit) {
      state.big = text;
      editor.readOnly = true;
      editor.value = text.slice(0, text.lastIndexOf('\n', 65536) + 1) + '…';
    } else {
      state.big = null;
      editor.readOnly = false;
      editor.value = text;
    }
  }

  // `text` as read (its line ends as they are), `bytes` the file's.
  function open(text, bytes) {
    var shown = text.indexOf('\r') < 0 ? text : text.replace(/\r\n?/g, '\n');
    opened = { text: shown, original: text, bytes: bytes || null, lineEnd: lineEndOf(text) };
    putText(shown);
  }

  return { open: open, source: source, sourceBytes: sourceBytes, fitsEditor: fitsEditor };
}
