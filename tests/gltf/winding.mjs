// Every triangle faces where its normals point: read from the file's own
// accessors, each triangle of non-zero area is counter-clockwise seen from
// the side of its vertex normals, in every mesh of the export of the
// examples, the awkward and random scenes and every hostile scene. And
// three.js, drawing with the file's double-sided materials and lights
// (picture.mjs, as for the README's picture), shows a cylinder's lit top
// bright wherever the window's picture shows it bright.
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { inflateSync } from 'node:zlib';
import { env, everydayScenes, exportScene, hostileScenes, readGlb, work } from './scenes.mjs';

// An accessor's values as numbers, `size` per element.
function values(json, bin, index, size) {
    const accessor = json.accessors[index];
    const view = json.bufferViews[accessor.bufferView];
    const offset = (view.byteOffset ?? 0) + (accessor.byteOffset ?? 0);
    const count = accessor.count * size;
    const at = (i) => {
        switch (accessor.componentType) {
            case 5126: return bin.readFloatLE(offset + 4 * i);
            case 5125: return bin.readUInt32LE(offset + 4 * i);
            case 5123: return bin.readUInt16LE(offset + 2 * i);
            default: throw new Error(`component type ${accessor.componentType}`);
        }
    };
    return Array.from({ length: count }, (_, i) => at(i));
}

// Triangles of non-zero area wound clockwise seen from their normals' side.
function against(glb) {
    const { json, bin } = readGlb(glb);
    let count = 0, triangles = 0;
    for (const mesh of json.meshes ?? [])
        for (const primitive of mesh.primitives) {
            const p = values(json, bin, primitive.attributes.POSITION, 3);
            const n = values(json, bin, primitive.attributes.NORMAL, 3);
            const t = values(json, bin, primitive.indices, 1);
            for (let i = 0; i + 2 < t.length; i += 3) {
                const [a, b, c] = [t[i], t[i + 1], t[i + 2]].map((v) => 3 * v);
                const u = [0, 1, 2].map((k) => p[b + k] - p[a + k]);
                const v = [0, 1, 2].map((k) => p[c + k] - p[a + k]);
                const face = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]];
                const area = Math.hypot(...face);
                if (area < 1e-9) continue;
                const normal = [0, 1, 2].map((k) => n[a + k] + n[b + k] + n[c + k]);
                ++triangles;
                if (face[0] * normal[0] + face[1] * normal[1] + face[2] * normal[2] < 0) ++count;
            }
        }
    return { count, triangles };
}

let failed = false, files = 0, triangles = 0;
for (const scene of [...everydayScenes(), ...hostileScenes()]) {
    const glb = exportScene(scene);
    const found = against(glb);
    ++files, (triangles += found.triangles);
    if (found.count) {
        failed = true;
        console.log(`${scene.name}: ${found.count} of ${found.triangles} triangles against their normals`);
    }
}
console.log(`${files} files, ${triangles} stored triangles read`);

// An 8-bit RGB or RGBA PNG, not interlaced (what Chromium and
// mirovan-snapshot write), as { width, height, channels, pixels }.
function readPng(path) {
    const bytes = readFileSync(path);
    let width, height, channels, at = 8;
    const data = [];
    while (at < bytes.length) {
        const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
        const body = bytes.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0), height = body.readUInt32BE(4);
            if (body[8] !== 8 || (body[9] !== 2 && body[9] !== 6) || body[12] !== 0)
                throw new Error(`${path}: not 8-bit RGB(A), or interlaced`);
            channels = body[9] === 6 ? 4 : 3;
        } else if (type === 'IDAT') data.push(body);
        at += 12 + length;
    }
    const raw = inflateSync(Buffer.concat(data)), stride = width * channels;
    const pixels = Buffer.alloc(height * stride);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        for (let x = 0; x < stride; ++x) {
            const value = raw[y * (stride + 1) + 1 + x];
            const left = x >= channels ? pixels[y * stride + x - channels] : 0;
            const up = y ? pixels[(y - 1) * stride + x] : 0;
            const corner = y && x >= channels ? pixels[(y - 1) * stride + x - channels] : 0;
            const paeth = () => {
                const base = left + up - corner;
                const [pa, pb, pc] = [left, up, corner].map((v) => Math.abs(base - v));
                return pa <= pb && pa <= pc ? left : pb <= pc ? up : corner;
            };
            const guess = [0, left, up, (left + up) >> 1, 0][filter] ?? 0;
            pixels[y * stride + x] = (value + (filter === 4 ? paeth() : guess)) & 255;
        }
    }
    return { width, height, channels, pixels };
}

// The cylinder's top, tilted towards the eye and lit from above: the
// pixels the window draws brighter than 150 (the top; its side is near
// black) must reach at least 150 in three.js's picture (at most 2 % of them
// less, for the edge's antialiasing).
{
    const name = 'lit_top';
    const path = join(work, `${name}.scn`);
    writeFileSync(path, 'Dirlight 0 -1 -0.3 1 1 1 1\nRotation 30 1 0 0\nCylindre 8 4\n');
    const glb = exportScene({ name, path });
    const theirs = join(work, `${name}.threejs.png`), ours = join(work, `${name}.window.png`);
    const here = dirname(fileURLToPath(import.meta.url));
    execFileSync(process.execPath, [join(here, 'picture.mjs'), glb, theirs, '0', '0'], { stdio: 'inherit' });
    execFileSync(env('SNAPSHOT'), [path, ours, '--view', '0', '0'], { stdio: 'ignore' });
    const window = readPng(ours), three = readPng(theirs);
    let top = 0, dark = 0;
    for (let i = 0; i < window.width * window.height; ++i) {
        if (window.pixels[i * window.channels] <= 150) continue;
        ++top;
        if (three.pixels[i * three.channels] < 150) ++dark;
    }
    const share = top ? dark / top : 1;
    console.log(`lit top: ${top} pixels in the window's picture, ${(share * 100).toFixed(2)} % dark in three.js's`);
    if (top < 10000 || share > 0.02) failed = true;
}
process.exit(failed ? 1 : 0);
