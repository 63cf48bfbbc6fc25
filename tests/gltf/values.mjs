// The exported file read back gives what the scene says: its solids as mesh
// nodes with the window's triangles (box 12, sphere 16 x 16 = 480, cylinder
// 2 x 48 + 100 = 196, cone 48 + 100 = 148), its distinct materials, its
// lights (at most eight at a time, else the window's own), and for a few
// literal scenes the whole node tree.
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { readFileSync } from 'node:fs';
import { everydayScenes, exportScene, readGlb, work } from './scenes.mjs';

const kTriangles = { Cube: 12, Sphere: 480, Cylindre: 196, Cone: 148 };
const kCounts = { Cube: 3, Sphere: 1, Cylindre: 2, Cone: 2, Translation: 3, Rotation: 4, Zoom: 3,
    Push: 0, Pop: 0, Material: 13, Pointlight: 7, Dirlight: 7, Spotlight: 11 };

// Solids, triangles, distinct materials (diffuse, emission, shininess) and
// lights of a well-formed scene.
function expected(text) {
    const tokens = text.split(/\s+/).filter((t) => t);
    let material = '0.8,0.8,0.8,0,0,0,0', lights = 0, added = 0;
    const stack = [], materials = new Set(), out = { solids: 0, triangles: 0 };
    for (let i = 0; i < tokens.length; ++i) {
        const word = tokens[i];
        if (!(word in kCounts)) continue;
        // Numbers that are not finite (in float, but for sizes) count as 0.
        const limit = word in kTriangles ? Infinity : 3.4028235e38;
        const v = tokens
            .slice(i + 1, i + 1 + kCounts[word])
            .map(Number)
            .map((x) => (Number.isFinite(x) && Math.abs(x) <= limit ? x : 0));
        i += kCounts[word];
        if (word in kTriangles) {
            if (word === 'Sphere' && v[0] < 0) continue;  // the window draws nothing
            ++out.solids, (out.triangles += kTriangles[word]), materials.add(material);
        } else if (word === 'Material') {
            const shininess = v[12] >= 0 && v[12] <= 128 ? v[12] : material.split(',')[6];
            material = [v[0], v[1], v[2], v[9], v[10], v[11], shininess].join(',');
        } else if (word === 'Push') {
            stack.push({ material, lights });
        } else if (word === 'Pop' && stack.length) {
            ({ material, lights } = stack.pop());
        } else if (word.endsWith('light') && lights < 8) {
            ++lights, ++added;
        }
    }
    return { ...out, materials: materials.size, lights: added || 1 };
}

function readBack(glb) {
    const { json } = readGlb(glb);
    const nodes = json.nodes ?? [];
    let solids = 0, triangles = 0, lights = 0, depth = 0;
    for (const node of nodes) {
        if (node.extensions?.KHR_lights_punctual) ++lights;
        if (node.mesh === undefined) continue;
        ++solids;
        for (const p of json.meshes[node.mesh].primitives) triangles += json.accessors[p.indices].count / 3;
    }
    // Every node is reached once from the roots, and every list of
    // children (the roots' too) is in the order its nodes were written.
    const reached = new Uint8Array(nodes.length);
    let tree = 'whole';
    const ascending = (list) => list.every((c, i) => i === 0 || c > list[i - 1]);
    const walk = (n, d) => {
        depth = Math.max(depth, d);
        if (reached[n]++) tree = `node ${n} reached twice`;
        const children = nodes[n].children ?? [];
        if (!ascending(children)) tree = `node ${n}: children out of order`;
        for (const c of children) walk(c, d + 1);
    };
    const roots = json.scenes[0].nodes;
    if (!ascending(roots)) tree = 'roots out of order';
    for (const root of roots) walk(root, 1);
    if (tree === 'whole' && reached.includes(0)) tree = `node ${reached.indexOf(0)} not reached`;
    return { solids, triangles, materials: (json.materials ?? []).length, lights, nodes: nodes.length, depth,
        roots: roots.length, tree };
}

let failed = false;
function check(name, got, want) {
    for (const key of Object.keys(want))
        if (got[key] !== want[key]) {
            failed = true;
            console.log(`${name}: ${key} ${got[key]}, expected ${want[key]}`);
        }
}

for (const scene of everydayScenes())
    check(scene.name, readBack(exportScene(scene)),
        { ...expected(readFileSync(scene.path, 'latin1')), tree: 'whole' });

// Node trees: the camera, the window's light when the scene sets none, a
// node per group, solid and light; a sheared solid takes two; groups below
// 64 levels add none.
const literal = [
    ['groups', 'Push Cube 1 1 1 Push Sphere 1 Pop Pop Sphere -1 Cone 1 1 Pop',
        { nodes: 7, solids: 3, triangles: 640, materials: 1, lights: 1, depth: 3 }],
    ['shear', 'Rotation 30 0 0 1 Zoom 1 3 1 Rotation 40 0 0 1 Cube 1 1 1',
        { nodes: 4, solids: 1, triangles: 12, lights: 1, depth: 2 }],
    // Sheared solids in a row under one matrix share the outer node; a
    // Translation between them gives the next its own.
    ['shared-shear', 'Rotation 30 0 0 1 Zoom 1 3 1 Rotation 40 0 0 1 Cube 1 1 1 Sphere 1 Cone 1 1',
        { nodes: 6, solids: 3, depth: 2 }],
    ['moved-shear', 'Rotation 30 0 0 1 Zoom 1 3 1 Rotation 40 0 0 1 Cube 1 1 1 Translation 1 0 0 Sphere 1',
        { nodes: 6, solids: 2, depth: 2 }],
    ['deep', 'Push '.repeat(70) + 'Cube 1 1 1',
        { nodes: 67, solids: 1, lights: 1, depth: 65 }],
    ['lights', 'Pointlight 0 0 5 1 1 1 1 '.repeat(10) + 'Material 1 0 0 0 0 0 0 0 0 0 0 0 10 Cube 1 1 1',
        { nodes: 10, solids: 1, materials: 1, lights: 8, depth: 1 }],
    ['empty', '', { nodes: 2, solids: 0, materials: 0, lights: 1, depth: 2 }],
    // Lists of children longer than the export holds in memory: a group's,
    // a sheared row's with a light met inside it, and the roots.
    ['many-children', 'Push ' + 'Cube 1 1 1 '.repeat(300000) + 'Pop ' +
        'Push Rotation 30 0 0 1 Zoom 1 3 1 Rotation 40 0 0 1 ' + 'Cone 1 1 '.repeat(150000) +
        'Dirlight 0 0 -1 1 1 1 1 ' + 'Sphere 1 '.repeat(150000) + 'Pop ' +
        'Cylindre 1 1 '.repeat(300000),
        { nodes: 900005, solids: 900000, lights: 1, depth: 3, roots: 300003, tree: 'whole' }],
];
for (const [name, text, want] of literal) {
    const path = join(work, `${name}.scn`);
    writeFileSync(path, text + '\n');
    check(name, readBack(exportScene({ name, path })), want);
}
// The window's own light and the same light written out give one glTF
// light: colour and intensity as glTF readers take them (1 where absent).
{
    const lightOf = (name, text) => {
        const path = join(work, `${name}.scn`);
        writeFileSync(path, text + '\n');
        const light = readGlb(exportScene({ name, path })).json.extensions.KHR_lights_punctual.lights[0];
        return { type: light.type, color: String(light.color ?? [1, 1, 1]), intensity: light.intensity ?? 1 };
    };
    const own = lightOf('own-light', 'Cube 1 1 1');
    const written = lightOf('written-light', 'Dirlight 0 0 -1 1 1 1 1 Cube 1 1 1');
    check('own light', own, written);
    check('own light', { intensity: Math.abs(own.intensity - Math.PI) < 1e-6 }, { intensity: true });
}
console.log(failed ? 'values differ' : 'every count as the scene says');
process.exit(failed ? 1 : 0);
