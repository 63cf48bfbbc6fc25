// The page's script, first part: the scene's tables as
// exporters/page_encode.cpp writes them (base64 in the page's scene
// element), read into typed arrays over one buffer. The parts of the
// script are joined in one script element: page_scene.js, page_shaders.js,
// page.js.

var kLightFloats = 22;
var kMaterialFloats = 13;

function decodeBase64(text) {
  var binary = atob(text.replace(/\s+/g, ''));
  var bytes = new Uint8Array(binary.length);
  for (var i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes.buffer;
}

function readScene(buffer) {
  var words = new Uint32Array(buffer);
  var at = 0;  // in words
  function word() {
    if (at >= words.length) throw new Error('the scene data is cut short');
    return words[at++];
  }
  function floats(n) {
    var view = new Float32Array(buffer, at * 4, n);
    at += n;
    return view;
  }
  if (word() !== 0x5052494d || word() !== 2) throw new Error('the scene data is not Mirovan\'s');
  var count = {};
  ['meshes', 'scales', 'linears', 'translations', 'materials', 'lightSets', 'solids']
    .forEach(function (name) { count[name] = word(); });
  var scene = { meshes: [], lightSets: [], solids: count.solids, columns: [] };
  for (var m = 0; m < count.meshes; ++m) {
    var vertices = word(), triangles = word(), clipped = word(), followScale = word() === 1;
    var positions = floats(3 * vertices), normals = floats(3 * vertices);
    var indices = new Uint32Array(buffer, at * 4, 3 * triangles);
    at += 3 * triangles;
    var clippedIndices = new Uint32Array(buffer, at * 4, 3 * clipped);
    at += 3 * clipped;
    scene.meshes.push({ positions: positions, normals: normals, indices: indices,
      clippedIndices: clippedIndices, followScale: followScale });
  }
  scene.scales = floats(3 * count.scales);
  scene.linears = floats(9 * count.linears);
  scene.translations = floats(3 * count.translations);
  scene.materials = floats(kMaterialFloats * count.materials);
  for (var s = 0; s < count.lightSets; ++s) scene.lightSets.push(floats(kLightFloats * word()));
  for (var c = 0; c < 6; ++c) {
    var width = word();
    var Type = width === 1 ? Uint8Array : width === 2 ? Uint16Array : Uint32Array;
    scene.columns.push(new Type(buffer, at * 4, count.solids));
    at += Math.ceil(width * count.solids / 4);
  }
  return scene;
}
