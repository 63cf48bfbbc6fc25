// node picture.mjs FILE.glb OUT.png [AX AY]: a picture of an exported file
// as three.js shows it with the file's own materials and lights (for the
// README), through the window's box at the view (AX, AY). Needs the npm
// packages of tests/web (MIROVAN_WEB_MODULES, default: beside this folder).
import { createRequire } from 'node:module';
import { createServer } from 'node:http';
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const modules = process.env.MIROVAN_WEB_MODULES ?? join(here, '../web/node_modules');
const puppeteer = createRequire(modules + '/')('puppeteer-core');
const [glb, out, ax = '0', ay = '0'] = process.argv.slice(2);

const page = `<!doctype html><body style="margin:0;background:#000">
<script type="importmap">{"imports":{"three":"/three/build/three.module.js",
"three/addons/":"/three/examples/jsm/"}}</script>
<script type="module">
import * as THREE from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
const renderer = new THREE.WebGLRenderer({ antialias: true });
renderer.setPixelRatio(1);
renderer.setSize(500, 500);
document.body.appendChild(renderer.domElement);
const gltf = await new GLTFLoader().loadAsync('/file.glb');
const view = new THREE.Group();
view.rotation.set(${Number(ax)} * Math.PI / 180, ${Number(ay)} * Math.PI / 180, 0, 'XYZ');
view.add(gltf.scene);
const scene = new THREE.Scene();
scene.add(view);
renderer.render(scene, new THREE.OrthographicCamera(-20, 20, 20, -20, -20, 20));
window.ready = true;
</script>`;

const server = createServer((request, response) => {
    const path = new URL(request.url, 'http://x').pathname;
    try {
        const body = path === '/' ? page
            : path === '/file.glb' ? readFileSync(resolve(glb))
            : readFileSync(join(modules, path));
        const type = path === '/' ? 'text/html' : path.endsWith('.js') ? 'text/javascript' : 'model/gltf-binary';
        response.writeHead(200, { 'Content-Type': type });
        response.end(body);
    } catch {
        response.writeHead(404);
        response.end();
    }
});
await new Promise((done) => server.listen(0, '127.0.0.1', done));
const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
try {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 500, height: 500 });
    await tab.goto(`http://127.0.0.1:${server.address().port}/`);
    await tab.waitForFunction('window.ready === true', { timeout: 60000 });
    writeFileSync(out, await tab.screenshot({ type: 'png' }));
} finally {
    await browser.close();
    server.close();
}
