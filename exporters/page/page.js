// Mirovan's page: draws the scene the window draws, as its GL draws it
// (per-vertex fixed-function lighting, Gouraud shading, depth test, black
// background), and turns it with the window's keys, the mouse or a finger.
// WebGL 1 and nothing else: the page must open from disk in any browser.
// The last part of the script, after page_scene.js (the tables) and
// page_shaders.js (the GL's lighting as shaders).
(function () {
  'use strict';

  var f = Math.fround;  // the window keeps its angles in float
  var canvas = document.getElementById('view');
  var message = document.getElementById('message');

  // What a reader (or a test) can watch from outside: the view, the frames
  // drawn, the steps the spin took and the draw calls of the last frame.
  var page = { angleX: 0, angleY: 0, spinning: false, frames: 0, spinSteps: 0, error: null,
    solids: 0, firstFrameMs: 0, draws: 0 };
  window.mirovan = page;

  function say(text) {
    message.textContent = text;
    message.hidden = false;
  }

  var scene = null;
  var gl = null;
  var glState = null;  // program, uniforms and buffers of the current context
  var wideIndices = false;  // whether the context takes 32-bit indices

  function compile(type, source) {
    var shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS) && !gl.isContextLost())
      throw new Error('shader: ' + gl.getShaderInfoLog(shader));
    return shader;
  }

  // One vertex buffer per mesh, made once: position and normal per vertex,
  // and the triangles' corners as indices into it (a vertex shared by
  // several triangles is lit once). Without 32-bit indices, a mesh of more
  // vertices than 16 bits count has a vertex per corner instead. Turning
  // the view changes uniforms and the solids' attributes only.
  function arrayBuffer(target, data) {
    var buffer = gl.createBuffer();
    gl.bindBuffer(target, buffer);
    gl.bufferData(target, data, typeof data === 'number' ? gl.DYNAMIC_DRAW : gl.STATIC_DRAW);
    return buffer;
  }

  function interleaved(mesh, indices) {
    var count = indices ? indices.length : mesh.positions.length / 3;
    var data = new Float32Array(count * 6), p = mesh.positions, n = mesh.normals;
    for (var i = 0; i < count; ++i) {
      var v = (indices ? indices[i] : i) * 3;
      for (var k = 0; k < 3; ++k) {
        data[i * 6 + k] = p[v + k];
        data[i * 6 + 3 + k] = n[v + k];
      }
    }
    return data;
  }

  function triangleBuffer(mesh, indices, vertices) {
    var small = mesh.positions.length / 3 <= 65536;
    if (!small && !wideIndices) return { buffer: arrayBuffer(gl.ARRAY_BUFFER, interleaved(mesh, indices)),
      elements: null, count: indices.length };
    return { buffer: vertices, count: indices.length, type: small ? gl.UNSIGNED_SHORT : gl.UNSIGNED_INT,
      elements: arrayBuffer(gl.ELEMENT_ARRAY_BUFFER, small ? new Uint16Array(indices) : indices) };
  }

  // The mesh's box in its own frame: centre and half extent per axis.
  function meshBox(positions) {
    var lo = [Infinity, Infinity, Infinity], hi = [-Infinity, -Infinity, -Infinity];
    for (var v = 0; v < positions.length; v += 3) {
      for (var k = 0; k < 3; ++k) {
        lo[k] = Math.min(lo[k], positions[v + k]);
        hi[k] = Math.max(hi[k], positions[v + k]);
      }
    }
    return { centre: [0, 1, 2].map(function (k) { return (lo[k] + hi[k]) / 2; }),
      half: [0, 1, 2].map(function (k) { return (hi[k] - lo[k]) / 2; }) };
  }

  function meshBuffers(mesh, index) {
    var vertices = arrayBuffer(gl.ARRAY_BUFFER, interleaved(mesh, null));
    var drawn = triangleBuffer(mesh, mesh.indices, vertices);
    drawn.id = 2 * index;
    drawn.positions = mesh.positions;
    drawn.followScale = mesh.followScale;
    drawn.box = meshBox(mesh.positions);
    drawn.clipped = mesh.clippedIndices.length ? triangleBuffer(mesh, mesh.clippedIndices, vertices) : null;
    if (drawn.clipped) drawn.clipped.id = 2 * index + 1;
    return drawn;
  }

  // The per-solid attributes, in the order of a solid's floats (see
  // writeSolid): name, size.
  var kSolidAttributes = [['modelviewX', 3], ['modelviewY', 3], ['modelviewZ', 3], ['modelviewW', 3],
    ['normalRowX', 3], ['normalRowY', 3], ['normalRowZ', 3], ['normalScale', 3],
    ['baseShininess', 4], ['materialAmbient', 3], ['materialDiffuse', 3], ['materialSpecular', 3]];
  var kSolidFloats = 37;

  // Each material as a solid takes it: its base colour (emission plus its
  // ambient under the global ambient 0.2), shininess, ambient, diffuse and
  // specular colours.
  function materialTable() {
    var mat = scene.materials, count = mat.length / kMaterialFloats, out = new Float32Array(13 * count);
    for (var i = 0; i < count; ++i) {
      var mi = i * kMaterialFloats, o = 13 * i;
      for (var k = 0; k < 3; ++k) {
        out[o + k] = mat[mi + 9 + k] + mat[mi + k] * 0.2;
        out[o + 4 + k] = mat[mi + k];
        out[o + 7 + k] = mat[mi + 3 + k];
        out[o + 10 + k] = mat[mi + 6 + k];
      }
      out[o + 3] = mat[mi + 12];
    }
    return out;
  }

  function setUpGL() {
    var program = gl.createProgram();
    gl.attachShader(program, compile(gl.VERTEX_SHADER, kVertexShader));
    gl.attachShader(program, compile(gl.FRAGMENT_SHADER, kFragmentShader));
    gl.bindAttribLocation(program, 0, 'position');
    gl.bindAttribLocation(program, 1, 'normal');
    kSolidAttributes.forEach(function (a, i) { gl.bindAttribLocation(program, 2 + i, a[0]); });
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS) && !gl.isContextLost())
      throw new Error('shader: ' + gl.getProgramInfoLog(program));
    gl.useProgram(program);
    var uniforms = {};
    ['objectSpace', 'projection', 'lightCount', 'lightPosition', 'lightHalf', 'lightSpotDirection',
      'lightSpot', 'lightAttenuation', 'lightAmbient', 'lightDiffuse', 'lightSpecular'].forEach(function (name) {
      uniforms[name] = gl.getUniformLocation(program, name);
    });
    gl.enableVertexAttribArray(0);
    gl.enableVertexAttribArray(1);
    gl.enable(gl.DEPTH_TEST);
    gl.clearColor(0, 0, 0, 1);
    // Solids drawn many at a time where the browser can; else one by one.
    var instancing = gl.getExtension('ANGLE_instanced_arrays');
    if (instancing) {
      kSolidAttributes.forEach(function (a, i) {
        gl.enableVertexAttribArray(2 + i);
        instancing.vertexAttribDivisorANGLE(2 + i, 1);
      });
    }
    // Room for every solid's floats, made once: each frame writes into it.
    var solidBuffer = instancing ? arrayBuffer(gl.ARRAY_BUFFER, scene.solids * kSolidFloats * 4) : null;
    var linears = scene.linears.length / 9;
    wideIndices = !!gl.getExtension('OES_element_index_uint');
    glState = { uniforms: uniforms, buffers: scene.meshes.map(meshBuffers), width: 0, height: 0,
      top: 20, instancing: instancing, solidBuffer: solidBuffer,
      materials: materialTable(), directionsOnly: scene.lightSets.map(onlyDirections),
      linearEye: new Float32Array(9 * linears), linearNormal: new Float32Array(9 * linears),
      linearKeeps: new Uint8Array(linears), linearFrame: new Int32Array(linears) };
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

  var normalMatrix = new Float32Array(9);

  // The inverse transpose of the eye frame's 3 x 3, written row by row at
  // out[at]. As the GL takes it: for a rotation the matrix itself, for a
  // rotation and one scale the matrix over the square of its first row's
  // length, else the cofactors over the determinant; the identity when
  // that matrix is singular. True if the matrix keeps lengths.
  function normalRows(m, out, at) {
    var unit = false;
    if (angleKeeping(m)) {
      var row = [m[0], m[3], m[6]], squared = squaredLength(row, 0);
      unit = Math.abs(squared - 1) <= 4e-7;
      var over = unit ? 1 : f(1 / squared);
      for (var j = 0; j < 9; ++j) normalMatrix[j] = f(m[j] * over);
    } else {
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
    }
    for (var r = 0; r < 3; ++r)
      for (var col = 0; col < 3; ++col) out[at + 3 * r + col] = normalMatrix[3 * col + r];
    return unit;
  }

  var lightArrays = {
    position: new Float32Array(32), half: new Float32Array(24), spotDirection: new Float32Array(24),
    spot: new Float32Array(24), attenuation: new Float32Array(24),
    ambient: new Float32Array(24), diffuse: new Float32Array(24), specular: new Float32Array(24)
  };

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

  // A light set as the GL lights with it: positions and spot directions in
  // the eye frame (the shader multiplies the light colours by the
  // solid's). When only directions light a solid whose matrix m keeps
  // lengths (own), the GL lights it in its own frame instead: the
  // directions and half vectors brought into that frame, the normals as
  // they are. Where a vertex stands square to a light, only the same frame
  // and roundings give the window's sign of their tiny product, and with it
  // the specular term or none.
  function setLighting(r, setIndex, m, own) {
    var u = glState.uniforms, set = scene.lightSets[setIndex], count = set.length / kLightFloats, a = lightArrays;
    gl.uniform1f(u.objectSpace, own ? 1 : 0);
    gl.uniform1i(u.lightCount, count);
    if (count === 0) return;
    for (var i = 0; i < count; ++i) {
      var l = i * kLightFloats, turns = set[l] !== 0, at = 3 * i;
      a.ambient.set(set.subarray(l + 1, l + 4), at);
      a.diffuse.set(set.subarray(l + 4, l + 7), at);
      a.specular.set(set.subarray(l + 7, l + 10), at);
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
    gl.uniform3fv(u.lightAmbient, a.ambient.subarray(0, 3 * count));
    gl.uniform3fv(u.lightDiffuse, a.diffuse.subarray(0, 3 * count));
    gl.uniform3fv(u.lightSpecular, a.specular.subarray(0, 3 * count));
  }

  // ---- Solids, frame by frame ----

  // Solids that may cover one pixel keep the window's order, told apart by
  // the cells of a grid over the view that their boxes reach.
  var kCells = 32;

  var frame = {
    number: 0,
    keyCount: 0,
    solids: null,    // each solid's floats (kSolidFloats, see writeSolid), in scene order
    batchOf: null,   // the batch each solid goes to; -1 for none
    batched: null,   // the solids' floats in batch order, as uploaded
    cellLevel: new Int32Array(kCells * kCells),
    cellKey: new Float64Array(kCells * kCells),
    keys: new Map()  // (mesh buffer, light set, own frame's matrix) to a number
  };

  // The eye frame of a solid's matrix, its normal rows and whether it keeps
  // lengths: once a frame for each matrix.
  function eyeFrame(linear, r) {
    var st = glState, l9 = linear * 9;
    if (st.linearFrame[linear] === frame.number) return;
    st.linearFrame[linear] = frame.number;
    var lin = scene.linears;
    for (var c = 0; c < 3; ++c)
      rotate(r, lin[l9 + 3 * c], lin[l9 + 3 * c + 1], lin[l9 + 3 * c + 2], st.linearEye, l9 + 3 * c);
    st.linearKeeps[linear] = normalRows(st.linearEye.subarray(l9, l9 + 9), st.linearNormal, l9) ? 1 : 0;
  }

  // A solid's floats at out[o]: its modelview's columns (the mesh's scale on
  // the positions only: its normals are the solid's own already), its
  // normal rows, the scale its normals go through (a cone drawn from
  // another's mesh) or 0, then its material's floats.
  function writeSolid(s, mesh, r, out, o) {
    var st = glState, cols = scene.columns, l9 = cols[2][s] * 9, sc = cols[1][s] * 3, t = cols[3][s] * 3;
    var scales = scene.scales, eye = st.linearEye, normal = st.linearNormal;
    for (var k = 0; k < 3; ++k) {
      var scale = scales[sc + k];
      for (var row = 0; row < 3; ++row) out[o + 3 * k + row] = eye[l9 + 3 * k + row] * scale;
    }
    rotate(r, scene.translations[t], scene.translations[t + 1], scene.translations[t + 2], out, o + 9);
    for (var j = 0; j < 9; ++j) out[o + 12 + j] = normal[l9 + j];
    var sx = scales[sc], sy = scales[sc + 1], sz = scales[sc + 2];
    var turned = mesh.followScale && (sx !== 1 || sy !== 1 || sz !== 1);
    out[o + 21] = turned ? 1 / sx : 0;
    out[o + 22] = turned ? 1 / sy : 0;
    out[o + 23] = turned ? 1 / sz : 0;
    var mat = st.materials, m13 = cols[4][s] * 13;
    for (var i = 0; i < 13; ++i) out[o + 24 + i] = mat[m13 + i];
  }

  // Whether the GL would clip the solid: one of its vertices outside the
  // view volume (x and z within 20, y within top).
  function clipped(positions, m, o) {
    var top = glState.top;
    for (var v = 0; v < positions.length; v += 3) {
      var x = positions[v], y = positions[v + 1], z = positions[v + 2];
      if (Math.abs(m[o] * x + m[o + 3] * y + m[o + 6] * z + m[o + 9]) > 20 ||
          Math.abs(m[o + 1] * x + m[o + 4] * y + m[o + 7] * z + m[o + 10]) > top ||
          Math.abs(m[o + 2] * x + m[o + 5] * y + m[o + 8] * z + m[o + 11]) > 20) return true;
    }
    return false;
  }

  // Where the solid's box lands in the eye frame: per axis its centre and
  // half extent, in extent[6]. 'in' if every vertex is well inside the
  // view volume, 'out' if all are well beyond one of its sides, else ''.
  var extent = new Float64Array(6);

  function boxPlace(box, m, o) {
    var c = box.centre, h = box.half, inside = true;
    for (var row = 0; row < 3; ++row) {
      var centre = m[o + row] * c[0] + m[o + 3 + row] * c[1] + m[o + 6 + row] * c[2] + m[o + 9 + row];
      var half = Math.abs(m[o + row]) * h[0] + Math.abs(m[o + 3 + row]) * h[1] + Math.abs(m[o + 6 + row]) * h[2];
      var bound = row === 1 ? glState.top : 20;
      if (!isFinite(centre) || !isFinite(half)) {
        extent[2 * row] = 0;
        extent[2 * row + 1] = Infinity;
        inside = false;
        continue;
      }
      extent[2 * row] = centre;
      extent[2 * row + 1] = half;
      if (centre - half > bound * 1.000001 || centre + half < -bound * 1.000001) return 'out';
      if (Math.abs(centre) + half >= bound * 0.999999) inside = false;
    }
    return inside ? 'in' : '';
  }

  // A number for what a batch shares: the mesh buffer, the light set and,
  // when the solid is lit in its own frame, its matrix.
  function keyOf(bufferId, set, ownLinear) {
    var outer = frame.keys.get(bufferId * scene.lightSets.length + set);
    if (!outer) frame.keys.set(bufferId * scene.lightSets.length + set, outer = new Map());
    var key = outer.get(ownLinear);
    if (key === undefined) outer.set(ownLinear, key = frame.keyCount++);
    return key;
  }

  function cell(t) {
    return t <= 0 ? 0 : t >= 1 ? kCells - 1 : Math.floor(t * kCells);
  }

  // The level of a solid's batch. At a tie of depth the GL keeps the first
  // solid drawn: where two solids' boxes share a cell, the later one goes
  // at the earlier's level if they share a key (one batch: drawn in scene
  // order), else above it; batches are drawn level by level.
  function levelOf(key) {
    var top = glState.top, cellLevel = frame.cellLevel, cellKey = frame.cellKey, rows = [];
    for (var axis = 0; axis < 2; ++axis) {
      var centre = extent[2 * axis], margin = extent[2 * axis + 1] + 1e-5 * (Math.abs(centre) + extent[2 * axis + 1] + 1);
      var bound = axis === 0 ? 20 : top;
      rows.push(cell((centre - margin + bound) / (2 * bound)), cell((centre + margin + bound) / (2 * bound)));
    }
    var level = 0, i, j, q;
    for (i = rows[0]; i <= rows[1]; ++i) {
      for (j = rows[2]; j <= rows[3]; ++j) {
        q = i * kCells + j;
        if (cellLevel[q] < 0) continue;
        var need = cellKey[q] === key ? cellLevel[q] : cellLevel[q] + 1;
        if (need > level) level = need;
      }
    }
    for (i = rows[0]; i <= rows[1]; ++i) {
      for (j = rows[2]; j <= rows[3]; ++j) {
        q = i * kCells + j;
        if (level > cellLevel[q]) {
          cellLevel[q] = level;
          cellKey[q] = key;
        } else if (cellKey[q] !== key) {
          cellKey[q] = -1;  // more than one key at this level
        }
      }
    }
    return level;
  }

  // Every solid's floats and batch: with instancing, solids that share a
  // mesh buffer (the clipped one or not), a light set and (lit in their own
  // frame) a matrix go together, level by level; else each is its own
  // batch, in scene order. Solids wholly outside the view are left out.
  function gatherBatches(r) {
    var st = glState, cols = scene.columns, n = scene.solids, batches = [], open = new Map();
    frame.number += 1;
    if (!frame.batchOf || frame.batchOf.length !== n) {
      frame.solids = new Float32Array(n * kSolidFloats);
      frame.batchOf = new Int32Array(n);
      frame.batched = null;
    }
    if (st.instancing && !frame.batched) frame.batched = new Float32Array(n * kSolidFloats);
    frame.cellLevel.fill(-1);
    frame.keys = new Map();
    frame.keyCount = 0;
    for (var s = 0; s < n; ++s) {
      frame.batchOf[s] = -1;
      var mesh = st.buffers[cols[0][s]];
      if (!mesh || mesh.count === 0) continue;
      var linear = cols[2][s], o = s * kSolidFloats;
      eyeFrame(linear, r);
      writeSolid(s, mesh, r, frame.solids, o);
      var place = boxPlace(mesh.box, frame.solids, o);
      if (place === 'out') continue;
      var buffer = mesh.clipped && place !== 'in' && clipped(mesh.positions, frame.solids, o) ? mesh.clipped : mesh;
      var set = cols[5][s], ownLinear = st.linearKeeps[linear] === 1 && st.directionsOnly[set] ? linear : -1;
      var batch = batches.length, level = 0;
      if (st.instancing) {
        var key = keyOf(buffer.id, set, ownLinear);
        level = levelOf(key);
        batch = open.get(key * (n + 1) + level);
        if (batch === undefined) open.set(key * (n + 1) + level, batch = batches.length);
      }
      if (batch === batches.length)
        batches.push({ buffer: buffer, set: set, ownLinear: ownLinear, level: level, count: 0, start: s });
      batches[batch].count += 1;
      frame.batchOf[s] = batch;
    }
    return batches;
  }

  // The batches level by level, their solids' floats in that order in one
  // buffer.
  function placeBatches(batches) {
    var order = batches.slice().sort(function (a, b) { return a.level - b.level; }), placed = 0;
    order.forEach(function (batch) {
      batch.start = batch.next = placed;
      placed += batch.count;
    });
    var out = frame.batched, from = frame.solids;
    for (var s = 0; s < scene.solids; ++s) {
      var b = frame.batchOf[s];
      if (b < 0) continue;
      var at = batches[b].next++ * kSolidFloats, o = s * kSolidFloats;
      for (var k = 0; k < kSolidFloats; ++k) out[at + k] = from[o + k];
    }
    gl.bindBuffer(gl.ARRAY_BUFFER, glState.solidBuffer);
    gl.bufferSubData(gl.ARRAY_BUFFER, 0, out.subarray(0, placed * kSolidFloats));
    return order;
  }

  // Every solid, as the window draws them.
  function draw() {
    if (!glState || gl.isContextLost()) return;
    fitCanvas();
    drawnAs = frameKey();
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    var st = glState, r = viewRotation(), instancing = st.instancing, batches = gatherBatches(r);
    if (instancing && batches.length) batches = placeBatches(batches);
    var lastBuffer = null, lastSet = -1, lastOwn = -1, stride = kSolidFloats * 4;
    for (var i = 0; i < batches.length; ++i) {
      var batch = batches[i], own = batch.ownLinear;
      if (batch.set !== lastSet || own !== lastOwn) {
        setLighting(r, batch.set, own < 0 ? null : st.linearEye.subarray(own * 9, own * 9 + 9), own >= 0);
        lastSet = batch.set;
        lastOwn = own;
      }
      var mesh = batch.buffer;
      if (mesh !== lastBuffer) {
        gl.bindBuffer(gl.ARRAY_BUFFER, mesh.buffer);
        gl.vertexAttribPointer(0, 3, gl.FLOAT, false, 24, 0);
        gl.vertexAttribPointer(1, 3, gl.FLOAT, false, 24, 12);
        if (mesh.elements) gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, mesh.elements);
        lastBuffer = mesh;
      }
      var at = batch.start * kSolidFloats, d = frame.solids;
      if (instancing) gl.bindBuffer(gl.ARRAY_BUFFER, st.solidBuffer);
      for (var a = 0, offset = 0; a < kSolidAttributes.length; ++a) {
        var size = kSolidAttributes[a][1];
        if (instancing) gl.vertexAttribPointer(2 + a, size, gl.FLOAT, false, stride, (at + offset) * 4);
        else if (size === 3) gl.vertexAttrib3f(2 + a, d[at + offset], d[at + offset + 1], d[at + offset + 2]);
        else gl.vertexAttrib4f(2 + a, d[at + offset], d[at + offset + 1], d[at + offset + 2], d[at + offset + 3]);
        offset += size;
      }
      if (instancing && mesh.elements)
        instancing.drawElementsInstancedANGLE(gl.TRIANGLES, mesh.count, mesh.type, 0, batch.count);
      else if (instancing) instancing.drawArraysInstancedANGLE(gl.TRIANGLES, 0, mesh.count, batch.count);
      else if (mesh.elements) gl.drawElements(gl.TRIANGLES, mesh.count, mesh.type, 0);
      else gl.drawArrays(gl.TRIANGLES, 0, mesh.count);
    }
    page.draws = batches.length;
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
