// three.js (GLTFLoader, in headless Chromium) draws the exported file in one
// flat colour through an orthographic camera of the window's box, under
// the view's rotation; the pixels it covers must be the non-black pixels of
// mirovan-snapshot's picture of the same scene with every material made
// emissive (so that no solid is drawn black), at views (0, 0) and (30, -40).
// The emissive scenes read without a report, as the scenes themselves do.
// At most 0.5 % of the 500 x 500 pixels may differ.
import { createRequire } from 'node:module';
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { env, everydayScenes, exportScene, work } from './scenes.mjs';

const modules = env('MIROVAN_WEB_MODULES');
const puppeteer = createRequire(modules + '/')('puppeteer-core');
const kViews = [[0, 0], [30, -40]];
const kLimit = 0.005;

const kCounts = { Cube: 3, Sphere: 1, Cylindre: 2, Cone: 2, Translation: 3, Rotation: 4, Zoom: 3,
    Push: 0, Pop: 0, Material: 13, Pointlight: 7, Dirlight: 7, Spotlight: 11 };

// The scene with a white emissive material first and every Material's
// emission turned white, its other numbers kept (a missing one as the
// reader takes it, 0).
function emissive(text) {
    const tokens = text.split(/\s+/).filter((t) => t);
    const out = ['Material 0 0 0 0 0 0 0 0 0 1 1 1 0'];
    for (let i = 0; i < tokens.length; ++i) {
        out.push(tokens[i]);
        if (tokens[i] !== 'Material') continue;
        for (let n = 0; n < kCounts.Material; ++n) {
            const given = i + 1 < tokens.length && !(tokens[i + 1] in kCounts) ? tokens[++i] : '0';
            out.push(n >= 9 && n < 12 ? '1' : given);
        }
    }
    return out.join('\n') + '\n';
}

const page = `<!doctype html><body style="margin:0;background:#000">
<script type="importmap">{"imports":{"three":"/three/build/three.module.js",
"three/addons/":"/three/examples/jsm/"}}</script>
<script type="module">
import * as THREE from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
const renderer = new THREE.WebGLRenderer({ antialias: false, preserveDrawingBuffer: true });
renderer.setPixelRatio(1);
renderer.setSize(500, 500);
document.body.appendChild(renderer.domElement);
const camera = new THREE.OrthographicCamera(-20, 20, 20, -20, -20, 20);
const flat = new THREE.MeshBasicMaterial({ color: 0xffffff, side: THREE.DoubleSide });
window.differing = async (glb, ax, ay, png) => {
    const gltf = await new GLTFLoader().loadAsync(glb);
    gltf.scene.traverse((o) => { if (o.isMesh) o.material = flat; });
    const view = new THREE.Group();
    view.rotation.set(ax * Math.PI / 180, ay * Math.PI / 180, 0, 'XYZ');
    view.add(gltf.scene);
    const scene = new THREE.Scene();
    scene.background = new THREE.Color(0);
    scene.add(view);
    renderer.render(scene, camera);
    const gl = renderer.getContext();
    const ours = new Uint8Array(500 * 500 * 4);
    gl.readPixels(0, 0, 500, 500, gl.RGBA, gl.UNSIGNED_BYTE, ours);
    const image = new Image();
    image.src = png;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = canvas.height = 500;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const theirs = context.getImageData(0, 0, 500, 500).data;
    let differ = 0;
    for (let y = 0; y < 500; ++y)
        for (let x = 0; x < 500; ++x) {
            const a = 4 * ((499 - y) * 500 + x), b = 4 * (y * 500 + x);  // readPixels is bottom-up
            const covered = ours[a] || ours[a + 1] || ours[a + 2];
            const lit = theirs[b] || theirs[b + 1] || theirs[b + 2];
            if (!covered !== !lit) ++differ;
        }
    return differ;
};
window.ready = true;
</script>`;

// three.js and the exported files over HTTP: module scripts do not load from file://.
const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    try {
        let body, type = 'application/octet-stream';
        if (path === '/') (body = page), (type = 'text/html');
        else if (path.startsWith('/three/'))
            (body = readFileSync(join(modules, path))), (type = 'text/javascript');
        else if (path.startsWith('/files/')) body = readFileSync(join(work, path.slice(7)));
        else throw new Error('not here');
        response.writeHead(200, { 'Content-Type': type });
        response.end(body);
    } catch {
        response.writeHead(404);
        response.end();
    }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
let worst = { share: 0, name: '' }, failed = false;
try {
    const tab = await browser.newPage();
    const errors = [];
    tab.on('pageerror', (e) => errors.push(String(e)));
    await tab.goto(origin + '/');
    await tab.waitForFunction('window.ready === true', { timeout: 60000 });
    for (const scene of everydayScenes()) {
        const glb = exportScene(scene);
        const lit = join(work, `${scene.name}.lit.scn`);
        writeFileSync(lit, emissive(readFileSync(scene.path, 'latin1')));
        for (const [ax, ay] of kViews) {
            const png = join(work, `${scene.name}.${ax}.${ay}.png`);
            const run = spawnSync(env('SNAPSHOT'), [lit, png, '--view', String(ax), String(ay)],
                { encoding: 'utf8' });
            // The scenes read without a report, and so must their emissive forms.
            if (run.status !== 0 || run.stderr) {
                failed = true;
                console.log(`${scene.name}: the emissive scene's picture: status ${run.status}\n${run.stderr}`);
            }
            const data = 'data:image/png;base64,' + readFileSync(png).toString('base64');
            const differ = await tab.evaluate((g, x, y, p) => window.differing(g, x, y, p),
                `/files/${scene.name}.glb`, ax, ay, data);
            const share = differ / 250000;
            const label = `${scene.name} at (${ax}, ${ay})`;
            if (share > worst.share) worst = { share, name: label };
            if (share > kLimit) {
                failed = true;
                console.log(`${label}: ${differ} pixels differ (${(share * 100).toFixed(3)} %)`);
            }
        }
    }
    if (errors.length) (failed = true), console.log('page errors:', errors.join('\n'));
} finally {
    await browser.close();
    server.close();
}
console.log(`worst: ${(worst.share * 100).toFixed(3)} % of the pixels differ (${worst.name})`);
process.exit(failed ? 1 : 0);
