// Scenes for the glTF checks, the export itself, and a binary glTF file
// read back with nothing but its layout.
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, readdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

export const env = (name) => {
    if (!process.env[name]) throw new Error(`${name} is not set`);
    return process.env[name];
};

export const work = env('GLTF_WORK_DIR');
mkdirSync(work, { recursive: true });

const sceneFiles = (dir) =>
    readdirSync(dir)
        .filter((f) => f.endsWith('.scn'))
        .map((f) => ({ name: f.replace(/\.scn$/, ''), path: join(dir, f) }));

// The bundled examples, the round trip's awkward scenes and ours (shears,
// mirrors, negative and zero sizes, nesting beyond the flattening depth),
// and the 20 random scenes (fixed seeds) of the round trip.
export function everydayScenes() {
    const here = dirname(fileURLToPath(import.meta.url));
    const scenes = [
        ...sceneFiles(env('MIROVAN_EXAMPLES')),
        ...sceneFiles(join(here, '../roundtrip/awkward')),
        ...sceneFiles(join(here, 'scenes')),
    ];
    for (let seed = 1; seed <= 20; ++seed) {
        const path = join(work, `random_${seed}.scn`);
        execFileSync(env('RANDOM_SCENE'), [String(seed), path]);
        scenes.push({ name: `random_${seed}`, path });
    }
    return scenes;
}

export function hostileScenes() {
    const dir = join(work, 'hostile');
    mkdirSync(dir, { recursive: true });
    execFileSync(env('HOSTILE_SCENES'), [dir]);
    return readdirSync(dir).map((f) => ({ name: f, path: join(dir, f) }));
}

// mirovan -gltf SCENE OUT; the echo goes nowhere, a failure throws.
export function exportScene(scene) {
    const out = join(work, `${scene.name}.glb`);
    execFileSync(env('MIROVAN'), ['-gltf', scene.path, out], {
        stdio: ['ignore', 'ignore', 'inherit'],
    });
    return out;
}

// The JSON chunk of a binary glTF file, and its BIN chunk.
export function readGlb(path) {
    const bytes = readFileSync(path);
    if (bytes.readUInt32LE(0) !== 0x46546c67 || bytes.readUInt32LE(4) !== 2)
        throw new Error(`${path}: not binary glTF 2`);
    if (bytes.readUInt32LE(8) !== bytes.length) throw new Error(`${path}: length in header`);
    const jsonLength = bytes.readUInt32LE(12);
    const json = JSON.parse(bytes.subarray(20, 20 + jsonLength).toString('utf8'));
    return { json, bin: bytes.subarray(28 + jsonLength) };
}
