// The playground's address: #scene= (the text, deflated, base64url) and
// view=AX,AY. Copied, it opens the same text at the same view.
//   var links = playgroundLink(state, linkNote);
//   links.keepView(hash)  a view the picture reports (#view=AX,AY)
//   links.write(text)     the address for a text (null: the view only)
//   links.read(hash)      a promise of the text an address holds, or null
// state.view is the view, state.edits counts the texts; linkNote says
// when a text is too large for a link.
function playgroundLink(state, linkNote) {
  'use strict';

  function keepView(hash) {
    var found = /view=([^,&]*),([^&]*)/.exec(hash);
    if (!found) return;
    state.view = [decodeURIComponent(found[1]), decodeURIComponent(found[2])];
    putLink();
  }

  var kLinkLimit = 32000;  // characters of scene in a link: more breaks in some browsers and mailers
  var link = { scene: '' };  // the text's part of the address, when it fits

  function toBase64Url(bytes) {
    var binary = '';
    for (var i = 0; i < bytes.length; i += 0x8000)
      binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  function fromBase64Url(text) {
    var binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    var bytes = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  function squeeze(text) {
    var stream = new Blob([text]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    return new Response(stream).arrayBuffer().then(function (b) { return new Uint8Array(b); });
  }

  function unsqueeze(bytes) {
    var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return new Response(stream).text();
  }

  function putLink() {
    var hash = '#' + (link.scene ? 'scene=' + link.scene + '&' : '') + 'view=' + state.view[0] + ',' +
      state.view[1];
    if (window.location.hash === hash) return;
    try {
      window.history.replaceState(window.history.state, '', hash);
    } catch (e) { /* a browser that refuses: the link stays as it was */ }
  }

  // The text's link, written once it is compressed (a newer text writes
  // its own); no text (null): the view only.
  function write(text) {
    var edit = state.edits;
    if (typeof CompressionStream === 'undefined') return;
    if (text === null) {
      link.scene = '';
      linkNote.textContent = '';
      putLink();
      return;
    }
    squeeze(text).then(function (bytes) {
      if (edit !== state.edits) return;  // a newer text will write its own
      var coded = toBase64Url(bytes);
      var fits = coded.length <= kLinkLimit;
      link.scene = fits ? coded : '';
      linkNote.textContent = fits ? '' : 'This scene is too large for a link (' + coded.length +
        ' characters compressed, at most ' + kLinkLimit + '): the address keeps the view only. ' +
        'Save the .scn to send it.';
      putLink();
    });
  }

  // The text an address holds, as a promise; null when it holds none (or
  // the browser cannot inflate it).
  function read(hash) {
    var found = /(?:^#|&)scene=([A-Za-z0-9_-]*)/.exec(hash);
    if (!found || typeof DecompressionStream === 'undefined') return null;
    return unsqueeze(fromBase64Url(found[1]));
  }

  return { keepView: keepView, write: write, read: read };
}
