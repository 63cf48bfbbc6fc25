// Mirovan's page: draws the scene the window draws, as its GL draws it
// (per-vertex fixed-function lighting, Gouraud shading, depth test, black
// background), and turns it with the window's keys, the mouse or a finger.
// WebGL 1 and nothing else: the page must open from disk in any browser.
(function () {
  'use strict';

  var f = Math.fround;  // the window keeps its angles in float
  var canvas = document.getElementById('view');
  var message = document.getElementById('message');

  // What a reader (or a test) can watch from outside: the view, the frames
  // drawn and the steps the spin took.
  var page = { angleX: 0, angleY: 0, spinning: false, frames: 0, spinSteps: 0, error: null,
    solids: 0, firstFrameMs: 0 };
  window.mirovan = page;

  function say(text) {
    message.textContent = text;
    message.hidden = false;
  }

  // ---- The scene's tables (written by exporters/page_encode.cpp) ----

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

  // ---- The window's GL, in a shader ----

  var vertexShader = [
    'attribute vec3 position;',
    'attribute vec3 normal;',
    'uniform mat4 modelview;      // eye frame: the view rotation times the solid\'s matrix',
    'uniform mat3 normalMatrix;   // inverse transpose of its 3 x 3 part',
    'uniform vec2 projection;     // glOrtho(-20, 20, -top, top, -20, 20): 1 / 20, 1 / top',
    'uniform vec3 baseColour;     // emission + material ambient x global ambient',
    'uniform float shininess;',
    'uniform int lightCount;',
    'uniform vec4 lightPosition[8];       // eye frame; w 0 for a unit direction',
    'uniform vec3 lightHalf[8];           // a direction\'s half vector with the z axis',
    'uniform vec3 normalScale;    // 0: the normals as they are; else times this, unit length',
    'uniform float objectSpace;   // 1: directions and half vectors in the solid\'s own frame',
    'uniform vec3 lightSpotDirection[8];  // eye frame, unit length',
    'uniform vec3 lightSpot[8];           // exponent, cosine of the cut-off, 1 for a cone',
    'uniform vec3 lightAttenuation[8];    // constant, linear, quadratic',
    'uniform vec3 ambientProduct[8];',
    'uniform vec3 diffuseProduct[8];',
    'uniform vec3 specularProduct[8];',
    'varying vec3 colour;',
    '',
    'void main() {',
    '  vec4 eye = modelview * vec4(position, 1.0);',
    '  // As the GL transforms normals: GL_NORMALIZE is never enabled, so a',
    '  // scaled solid keeps its normals\' lengths.',
    '  // Row by row, as the GL\'s own vertex program takes it; as the GL, the',
    '  // normal as it is when only directions light a solid that keeps lengths.',
    '  vec3 m = normalScale.x == 0.0 ? normal : normalize(normal * normalScale);',
    '  vec3 n = objectSpace > 0.5 ? m : vec3(dot(vec3(normalMatrix[0][0], normalMatrix[1][0], normalMatrix[2][0]), m),',
    '    dot(vec3(normalMatrix[0][1], normalMatrix[1][1], normalMatrix[2][1]), m),',
    '    dot(vec3(normalMatrix[0][2], normalMatrix[1][2], normalMatrix[2][2]), m));',
    '  vec3 c = baseColour;',
    '  for (int i = 0; i < 8; ++i) {',
    '    if (i >= lightCount) break;',
    '    vec4 p = lightPosition[i];',
    '    vec3 l, h;',
    '    float factor = 1.0;',
    '    if (p.w != 0.0) {',
    '      vec3 d = p.xyz / p.w - eye.xyz;',
    '      float dist = length(d);',
    '      l = d / dist;',
    '      h = normalize(l + vec3(0.0, 0.0, 1.0));  // local viewer off',
    '      vec3 k = lightAttenuation[i];',
    '      factor = 1.0 / (k.x + k.y * dist + k.z * dist * dist);',
    '      if (lightSpot[i].z > 0.0) {',
    '        float cosAngle = dot(-l, lightSpotDirection[i]);',
    '        if (cosAngle < lightSpot[i].y) factor = 0.0;',
    '        else if (lightSpot[i].x != 0.0) factor *= pow(cosAngle, lightSpot[i].x);',
    '      }',
    '    } else {',
    '      l = p.xyz;',
    '      h = lightHalf[i];',
    '    }',
    '    vec3 term = ambientProduct[i];',
    '    // Diffuse and specular light only where the vertex faces the light.',
    '    float nl = dot(n, l);',
    '    if (nl > 0.0) {',
    '      term += nl * diffuseProduct[i];',
    '      float nh = dot(n, h);',
    '      if (nh > 0.0) term += (shininess == 0.0 ? 1.0 : pow(nh, shininess)) * specularProduct[i];',
    '    }',
    '    c += factor * term;',
    '  }',
    '  colour = clamp(c, 0.0, 1.0);  // the GL clamps each vertex\'s colour',
    '  gl_Position = vec4(eye.x * projection.x, eye.y * projection.y, -eye.z * projection.x, 1.0);',
    '}'
  ].join('\n');

  var fragmentShader = [
    'precision mediump float;',
    'varying vec3 colour;',
    'void main() { gl_FragColor = vec4(colour, 1.0); }'
  ].join('\n');

  var scene = null;
  var gl = null;
  var glState = null;  // program, uniforms and buffers of the current context

  function compile(type, source) {
    var shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS) && !gl.isContextLost())
      throw new Error('shader: ' + gl.getShaderInfoLog(shader));
    return shader;
  }

  // One vertex buffer per mesh, made once: position and normal per corner
  // of every triangle. Turning the view changes uniforms only.
  function vertexBuffer(mesh, indices) {
    var data = new Float32Array(indices.length * 6), p = mesh.positions, n = mesh.normals;
    for (var i = 0; i < indices.length; ++i) {
      var v = indices[i] * 3;
      for (var k = 0; k < 3; ++k) {
        data[i * 6 + k] = p[v + k];
        data[i * 6 + 3 + k] = n[v + k];
      }
    }
    var buffer = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
    gl.bufferData(gl.ARRAY_BUFFER, data, gl.STATIC_DRAW);
    return { buffer: buffer, count: indices.length };
  }

  function meshBuffers(mesh) {
    var drawn = vertexBuffer(mesh, mesh.indices);
    drawn.positions = mesh.positions;
    drawn.followScale = mesh.followScale;
    drawn.clipped = mesh.clippedIndices.length ? vertexBuffer(mesh, mesh.clippedIndices) : null;
    return drawn;
  }

  function setUpGL() {
    var program = gl.createProgram();
    gl.attachShader(program, compile(gl.VERTEX_SHADER, vertexShader));
    gl.attachShader(program, compile(gl.FRAGMENT_SHADER, fragmentShader));
    gl.bindAttribLocation(program, 0, 'position');
    gl.bindAttribLocation(program, 1, 'normal');
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS) && !gl.isContextLost())
      throw new Error('shader: ' + gl.getProgramInfoLog(program));
    gl.useProgram(program);
    var uniforms = {};
    ['modelview', 'normalMatrix', 'normalScale', 'objectSpace', 'projection', 'baseColour', 'shininess', 'lightCount',
      'lightPosition', 'lightHalf', 'lightSpotDirection', 'lightSpot', 'lightAttenuation', 'ambientProduct',
      'diffuseProduct', 'specularProduct'].forEach(function (name) {
      uniforms[name] = gl.getUniformLocation(program, name);
    });
    gl.enableVertexAttribArray(0);
    gl.enableVertexAttribArray(1);
    gl.enable(gl.DEPTH_TEST);
    gl.clearColor(0, 0, 0, 1);
    glState = { uniforms: uniforms, buffers: scene.meshes.map(meshBuffers), width: 0, height: 0,
      top: 20 };
  }

  // ---- The view ----

  // As the window keeps its angles: whole turns dropped, in [0, 360).
  function wrapped(degrees) {
    if (!isFinite(degrees)) return 0;
    var angle = f(degrees % 360);
    if (angle < 0) angle = f(angle + 360);
    return angle < 360 ? angle : 0;
  }

  function setView(angleX, angleY) {
    page.angleX = wrapped(f(angleX));
    page.angleY = wrapped(f(angleY));
    keepFragment();
  }

  function turnView(byX, byY) {
    setView(f(page.angleX + f(byX)), f(page.angleY + f(byY)));
  }

  // Rx(angleX) Ry(angleY), row-major 3 x 3, as glRotatef makes them: the
  // sine and cosine of a float angle in radians.
  function viewRotation() {
    var ax = f(page.angleX * Math.PI / 180), ay = f(page.angleY * Math.PI / 180);
    var sx = f(Math.sin(ax)), cx = f(Math.cos(ax)), sy = f(Math.sin(ay)), cy = f(Math.cos(ay));
    return [cy, 0, sy, sx * sy, cx, -sx * cy, -cx * sy, sx, cx * cy];
  }

  // In float, term by term, as the GL multiplies its matrices: where a
  // vertex stands square to a light, the sign of its tiny dot product with
  // the light decides whether it takes the light's specular term, and only
  // the same roundings give the window's sign.
  function rotate(r, x, y, z, out, at) {
    out[at] = f(f(f(r[0] * x) + f(r[1] * y)) + f(r[2] * z));
    out[at + 1] = f(f(f(r[3] * x) + f(r[4] * y)) + f(r[5] * z));
    out[at + 2] = f(f(f(r[6] * x) + f(r[7] * y)) + f(r[8] * z));
  }

  function squaredLength(v, at) {
    return f(f(f(v[at] * v[at]) + f(v[at + 1] * v[at + 1])) + f(v[at + 2] * v[at + 2]));
  }

  // A vector scaled to unit length in float, as the GL does a light's.
  function normalizeFloat(v, at) {
    var squared = squaredLength(v, at);
    if (squared === 0) return;
    var inverse = f(1 / f(Math.sqrt(squared)));
    for (var k = 0; k < 3; ++k) v[at + k] = f(v[at + k] * inverse);
  }

  // ---- Drawing ----

  // The canvas is the window: the whole viewport, in device pixels so that
  // it stays sharp, with reshapeView's projection for its size.
  function fitCanvas() {
    var ratio = window.devicePixelRatio || 1;
    var width = Math.max(1, Math.round(canvas.clientWidth * ratio));
    var height = Math.max(1, Math.round(canvas.clientHeight * ratio));
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
    if (glState.width !== width || glState.height !== height) {
      glState.width = width;
      glState.height = height;
      gl.viewport(0, 0, width, height);
    }
    var top = (20 / width) * height;
    glState.top = top;
    gl.uniform2f(glState.uniforms.projection, 1 / 20, 1 / top);
  }

  var eyeLinear = new Float32Array(9), normalMatrix = new Float32Array(9);
  var modelview = new Float32Array(16);

  // Whether the columns of the eye frame's 3 x 3 are square to each other
  // and of one length (within float rounding): a rotation, with or without
  // the same scale on every axis.
  function angleKeeping(m) {
    var first = squaredLength(m, 0);
    for (var c = 0; c < 3; ++c) {
      for (var d = c; d < 3; ++d) {
        var dot = m[3 * c] * m[3 * d] + m[3 * c + 1] * m[3 * d + 1] + m[3 * c + 2] * m[3 * d + 2];
        if (Math.abs(dot - (c === d ? first : 0)) > 1e-5 * first) return false;
      }
    }
    return first > 0;
  }

  // The inverse transpose of the eye frame's 3 x 3. As the GL takes it: for
  // a rotation the matrix itself, for a rotation and one scale the matrix
  // over the square of its first row's length, else the cofactors over the
  // determinant; the identity when that matrix is singular.
  function setNormalMatrix(m) {
    if (angleKeeping(m)) {
      var row = [m[0], m[3], m[6]], squared = squaredLength(row, 0);
      var unit = Math.abs(squared - 1) <= 4e-7, over = unit ? 1 : f(1 / squared);
      for (var j = 0; j < 9; ++j) normalMatrix[j] = f(m[j] * over);
      gl.uniformMatrix3fv(glState.uniforms.normalMatrix, false, normalMatrix);
      return unit;
    }
    var a = m[0], b = m[3], c = m[6], d = m[1], e = m[4], g = m[7], h = m[2], i = m[5], k = m[8];
    var c0 = e * k - g * i, c1 = g * h - d * k, c2 = d * i - e * h;
    var det = a * c0 + b * c1 + c * c2;
    if (det * det < 1e-25) {
      normalMatrix.set([1, 0, 0, 0, 1, 0, 0, 0, 1]);
    } else {
      // The cofactors over the determinant, column by column.
      normalMatrix.set([c0 / det, (c * i - b * k) / det, (b * g - c * e) / det,
        c1 / det, (a * k - c * h) / det, (c * d - a * g) / det,
        c2 / det, (b * h - a * i) / det, (a * e - b * d) / det]);
    }
    gl.uniformMatrix3fv(glState.uniforms.normalMatrix, false, normalMatrix);
    return false;
  }

  var lightArrays = {
    position: new Float32Array(32), half: new Float32Array(24), spotDirection: new Float32Array(24),
    spot: new Float32Array(24), attenuation: new Float32Array(24),
    ambient: new Float32Array(24), diffuse: new Float32Array(24), specular: new Float32Array(24)
  };

  function product(out, at, light, l, material, m) {
    for (var j = 0; j < 3; ++j) out[at + j] = light[l + j] * material[m + j];
  }

  // Whether a light set holds only directions (no light at a point).
  function onlyDirections(set) {
    for (var l = 0; l < set.length; l += kLightFloats) if (set[l + 13] !== 0) return false;
    return true;
  }

  // The eye's direction brought into the solid's frame (the transpose of a
  // matrix that keeps lengths is its inverse), then unit length in float.
  function intoSolid(m, v, at) {
    var x = v[at], y = v[at + 1], z = v[at + 2];
    for (var i = 0; i < 3; ++i) v[at + i] = f(f(f(m[3 * i] * x) + f(m[3 * i + 1] * y)) + f(m[3 * i + 2] * z));
  }

  // A material and a light set as the GL lights with them: light colours
  // times the material's, positions and spot directions in the eye frame.
  // When only directions light a solid whose matrix keeps lengths, the GL
  // lights it in its own frame instead: the directions and half vectors
  // brought into that frame, the normals as they are. Where a vertex stands
  // square to a light, only the same frame and roundings give the window's
  // sign of their tiny product, and with it the specular term or none.
  function setLighting(r, materialIndex, setIndex, m, keepsLength) {
    var u = glState.uniforms, mat = scene.materials, mi = materialIndex * kMaterialFloats;
    var set = scene.lightSets[setIndex], count = set.length / kLightFloats, a = lightArrays;
    var own = keepsLength && onlyDirections(set);
    gl.uniform1f(u.objectSpace, own ? 1 : 0);
    gl.uniform3f(u.baseColour, mat[mi + 9] + mat[mi] * 0.2, mat[mi + 10] + mat[mi + 1] * 0.2,
      mat[mi + 11] + mat[mi + 2] * 0.2);
    gl.uniform1f(u.shininess, mat[mi + 12]);
    gl.uniform1i(u.lightCount, count);
    if (count === 0) return;
    for (var i = 0; i < count; ++i) {
      var l = i * kLightFloats, turns = set[l] !== 0, at = 3 * i;
      product(a.ambient, at, set, l + 1, mat, mi);
      product(a.diffuse, at, set, l + 4, mat, mi + 3);
      product(a.specular, at, set, l + 7, mat, mi + 6);
      if (turns) rotate(r, set[l + 10], set[l + 11], set[l + 12], a.position, 4 * i);
      else a.position.set(set.subarray(l + 10, l + 13), 4 * i);
      a.position[4 * i + 3] = set[l + 13];
      if (set[l + 13] === 0) {
        // A direction and its half vector with the eye's z axis, in float.
        if (own) intoSolid(m, a.position, 4 * i);
        normalizeFloat(a.position, 4 * i);
        a.half.set(a.position.subarray(4 * i, 4 * i + 3), at);
        if (own) {
          for (var e = 0; e < 3; ++e) a.half[at + e] = f(a.half[at + e] + m[3 * e + 2]);
        } else {
          a.half[at + 2] = f(a.half[at + 2] + 1);
        }
        normalizeFloat(a.half, at);
      }
      if (turns) rotate(r, set[l + 14], set[l + 15], set[l + 16], a.spotDirection, at);
      else a.spotDirection.set(set.subarray(l + 14, l + 17), at);
      var dx = a.spotDirection[at], dy = a.spotDirection[at + 1], dz = a.spotDirection[at + 2];
      var length = Math.sqrt(dx * dx + dy * dy + dz * dz) || 1;
      for (var j = 0; j < 3; ++j) a.spotDirection[at + j] /= length;
      var cutOff = set[l + 18];
      a.spot[at] = set[l + 17];
      a.spot[at + 1] = Math.max(0, Math.cos(cutOff * Math.PI / 180));
      a.spot[at + 2] = cutOff === 180 ? 0 : 1;
      a.attenuation.set(set.subarray(l + 19, l + 22), at);
    }
    gl.uniform4fv(u.lightPosition, a.position.subarray(0, 4 * count));
    gl.uniform3fv(u.lightHalf, a.half.subarray(0, 3 * count));
    gl.uniform3fv(u.lightSpotDirection, a.spotDirection.subarray(0, 3 * count));
    gl.uniform3fv(u.lightSpot, a.spot.subarray(0, 3 * count));
    gl.uniform3fv(u.lightAttenuation, a.attenuation.subarray(0, 3 * count));
    gl.uniform3fv(u.ambientProduct, a.ambient.subarray(0, 3 * count));
    gl.uniform3fv(u.diffuseProduct, a.diffuse.subarray(0, 3 * count));
    gl.uniform3fv(u.specularProduct, a.specular.subarray(0, 3 * count));
  }

  // Whether the GL would clip the solid: one of its vertices outside the
  // view volume (x and z within 20, y within top).
  function clipped(positions, m) {
    var top = glState.top;
    for (var v = 0; v < positions.length; v += 3) {
      var x = positions[v], y = positions[v + 1], z = positions[v + 2];
      if (Math.abs(m[0] * x + m[4] * y + m[8] * z + m[12]) > 20 ||
          Math.abs(m[1] * x + m[5] * y + m[9] * z + m[13]) > top ||
          Math.abs(m[2] * x + m[6] * y + m[10] * z + m[14]) > 20) return true;
    }
    return false;
  }

  // Every solid in the scene's order, as the window draws them.
  function draw() {
    if (!glState || gl.isContextLost()) return;
    fitCanvas();
    drawnAs = frameKey();
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    var r = viewRotation(), u = glState.uniforms, cols = scene.columns;
    var lastBuffer = null, lastLinear = -1, lastMaterial = -1, lastSet = -1, keepsLength = false;
    var lastTurned = -1;
    gl.uniform3f(u.normalScale, 0, 0, 0);
    for (var s = 0; s < scene.solids; ++s) {
      var mesh = glState.buffers[cols[0][s]];
      if (!mesh || mesh.count === 0) continue;
      var linear = cols[2][s], lin = scene.linears, l9 = linear * 9;
      if (linear !== lastLinear) {
        for (var c = 0; c < 3; ++c)
          rotate(r, lin[l9 + 3 * c], lin[l9 + 3 * c + 1], lin[l9 + 3 * c + 2], eyeLinear, 3 * c);
        var kept = keepsLength;
        keepsLength = setNormalMatrix(eyeLinear);
        lastLinear = linear;
        if (keepsLength || kept) lastSet = -1;  // lights taken in the solid's frame, or no longer
      }
      var material = cols[4][s], set = cols[5][s];
      if (material !== lastMaterial || set !== lastSet) {
        setLighting(r, material, set, eyeLinear, keepsLength);
        lastMaterial = material;
        lastSet = set;
      }
      // The mesh's scale goes on its positions only: its normals are the
      // solid's own already.
      var sc = cols[1][s] * 3, t = cols[3][s] * 3;
      for (var k = 0; k < 3; ++k) {
        var scale = scene.scales[sc + k];
        for (var row = 0; row < 3; ++row) modelview[4 * k + row] = eyeLinear[3 * k + row] * scale;
        modelview[4 * k + 3] = 0;
      }
      rotate(r, scene.translations[t], scene.translations[t + 1], scene.translations[t + 2],
        modelview, 12);
      modelview[15] = 1;
      // A cone drawn from another's mesh: its normals through the scale.
      var sx = scene.scales[sc], sy = scene.scales[sc + 1], sz = scene.scales[sc + 2];
      var turned = mesh.followScale && (sx !== 1 || sy !== 1 || sz !== 1) ? sc : -1;
      if (turned !== lastTurned) {
        if (turned < 0) gl.uniform3f(u.normalScale, 0, 0, 0);
        else gl.uniform3f(u.normalScale, 1 / sx, 1 / sy, 1 / sz);
        lastTurned = turned;
      }
      var buffer = mesh.clipped && clipped(mesh.positions, modelview) ? mesh.clipped : mesh;
      if (buffer !== lastBuffer) {
        gl.bindBuffer(gl.ARRAY_BUFFER, buffer.buffer);
        gl.vertexAttribPointer(0, 3, gl.FLOAT, false, 24, 0);
        gl.vertexAttribPointer(1, 3, gl.FLOAT, false, 24, 12);
        lastBuffer = buffer;
      }
      gl.uniformMatrix4fv(u.modelview, false, modelview);
      gl.drawArrays(gl.TRIANGLES, 0, buffer.count);
    }
    page.frames += 1;
    if (page.frames === 1) page.firstFrameMs = window.performance.now();  // since navigation began
  }

  // ---- Frames: one per animation frame while anything changes ----

  var framePending = false;

  function requestFrame() {
    if (framePending) return;
    framePending = true;
    window.requestAnimationFrame(function () {
      framePending = false;
      if (page.spinning) {
        turnView(-1, -1);  // one degree about each axis per frame, as the window's idle spin
        page.spinSteps += 1;
        requestFrame();
      }
      // A large scene takes a while to draw: not again for nothing.
      if (frameKey() !== drawnAs) draw();
    });
  }

  // What the picture depends on besides the scene: the size and the view.
  var drawnAs = '';

  function frameKey() {
    var ratio = window.devicePixelRatio || 1;
    return [Math.round(canvas.clientWidth * ratio), Math.round(canvas.clientHeight * ratio),
      page.angleX, page.angleY].join(',');
  }

  // ---- The URL fragment: #view=AX,AY ----

  // The shortest decimal that reads back as the same float.
  function angleText(angle) {
    for (var digits = 1; digits < 10; ++digits) {
      var text = String(Number(angle.toPrecision(digits)));
      if (f(Number(text)) === angle) return text;
    }
    return String(angle);
  }

  function readFragment() {
    var found = /(?:^#|&)view=([^,&]*),([^&]*)/.exec(window.location.hash);
    if (!found) return false;
    var ax = parseFloat(decodeURIComponent(found[1])), ay = parseFloat(decodeURIComponent(found[2]));
    setView(isFinite(ax) ? ax : 0, isFinite(ay) ? ay : 0);
    return true;
  }

  // Browsers limit how often a page may rewrite its address (Safari: 100
  // times in 30 s): while the view spins, the fragment follows twice a
  // second.
  var fragment = { timer: 0, written: 0 };

  function keepFragment() {
    if (fragment.timer) return;
    var wait = Math.max(0, fragment.written + 500 - Date.now());
    fragment.timer = window.setTimeout(function () {
      fragment.timer = 0;
      fragment.written = Date.now();
      var hash = '#view=' + angleText(page.angleX) + ',' + angleText(page.angleY);
      if (window.location.hash === hash) return;
      try {
        window.history.replaceState(window.history.state, '', hash);
      } catch (e) {
        window.location.replace(hash);
      }
    }, wait);
  }

  // ---- Handling: the window's keys, and dragging ----

  var keyTurns = {
    ArrowUp: [1, 0], Up: [1, 0], ArrowDown: [-1, 0], Down: [-1, 0],
    ArrowLeft: [0, 1], Left: [0, 1], ArrowRight: [0, -1], Right: [0, -1]
  };

  function onKey(event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    var turn = keyTurns[event.key];
    if (turn) {
      turnView(turn[0], turn[1]);
    } else if (event.key === 'Enter') {
      page.spinning = !page.spinning;
    } else if (event.key === 'Home') {
      setView(0, 0);  // back to the start, as in the window
    } else {
      return;
    }
    event.preventDefault();
    requestFrame();
  }

  // Half a degree per pixel: dragging right turns as Left does (the side
  // facing the viewer moves right), dragging down as Up.
  var drag = null;

  function onPointerDown(event) {
    if (drag || (event.pointerType === 'mouse' && event.button !== 0)) return;
    drag = { id: event.pointerId, x: event.clientX, y: event.clientY };
    if (canvas.setPointerCapture) canvas.setPointerCapture(event.pointerId);
    canvas.focus();
    event.preventDefault();
  }

  function onPointerMove(event) {
    if (!drag || event.pointerId !== drag.id) return;
    var dx = event.clientX - drag.x, dy = event.clientY - drag.y;
    drag.x = event.clientX;
    drag.y = event.clientY;
    if (dx === 0 && dy === 0) return;
    turnView(0.5 * dy, 0.5 * dx);
    requestFrame();
  }

  function onPointerEnd(event) {
    if (drag && event.pointerId === drag.id) drag = null;
  }

  // A new pixel ratio alone (the browser zoomed, the window moved to
  // another screen) fires no resize: a query for the present ratio tells
  // when it stops holding, and is asked again for the new one.
  function watchPixelRatio() {
    if (!window.matchMedia) return;
    var query = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
    function changed() {
      if (query.removeEventListener) query.removeEventListener('change', changed);
      else if (query.removeListener) query.removeListener(changed);
      draw();
      watchPixelRatio();
    }
    if (query.addEventListener) query.addEventListener('change', changed);
    else if (query.addListener) query.addListener(changed);
  }

  // ---- Start ----

  function start() {
    scene = readScene(decodeBase64(document.getElementById('scene').textContent));
    page.solids = scene.solids;
    var options = { alpha: false, antialias: false, depth: true, stencil: false,
      premultipliedAlpha: false, preserveDrawingBuffer: false };
    gl = canvas.getContext('webgl', options) || canvas.getContext('experimental-webgl', options);
    if (!gl) {
      say('This page draws a 3D scene with WebGL, which this browser does not offer ' +
        '(or has turned off). Try a current Chrome, Firefox, Safari or Edge.');
      return;
    }
    canvas.addEventListener('webglcontextlost', function (event) {
      event.preventDefault();
      glState = null;
    });
    canvas.addEventListener('webglcontextrestored', function () {
      setUpGL();
      drawnAs = '';
      requestFrame();
    });
    setUpGL();
    readFragment();
    window.addEventListener('hashchange', function () {
      if (readFragment()) requestFrame();
    });
    window.addEventListener('keydown', onKey);
    canvas.addEventListener('pointerdown', onPointerDown);
    canvas.addEventListener('pointermove', onPointerMove);
    canvas.addEventListener('pointerup', onPointerEnd);
    canvas.addEventListener('pointercancel', onPointerEnd);
    // Drawn at once and again whenever the window's size changes, in the
    // same task: a browser may show the page at its new size right away.
    window.addEventListener('resize', draw);
    watchPixelRatio();
    draw();
    requestFrame();
    canvas.focus();
  }

  try {
    start();
  } catch (e) {
    page.error = String(e.message || e);
    say('This page cannot show its scene: ' + page.error + '.');
  }
})();
