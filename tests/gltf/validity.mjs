// The Khronos glTF validator finds no error and no warning in the export of
// the bundled examples, 20 random scenes and every hostile scene.
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import { env, everydayScenes, exportScene, hostileScenes } from './scenes.mjs';

const validator = createRequire(env('MIROVAN_WEB_MODULES') + '/')('gltf-validator');

let files = 0, errors = 0, warnings = 0, failed = false;
for (const scene of [...everydayScenes(), ...hostileScenes()]) {
    const glb = exportScene(scene);
    const report = await validator.validateBytes(new Uint8Array(readFileSync(glb)), {
        maxIssues: 20,
    });
    const { numErrors, numWarnings } = report.issues;
    ++files, (errors += numErrors), (warnings += numWarnings);
    if (numErrors || numWarnings) {
        failed = true;
        console.log(`${scene.name}: ${numErrors} errors, ${numWarnings} warnings`);
        for (const m of report.issues.messages)
            if (m.severity <= 1) console.log(`  ${m.code} ${m.pointer ?? ''} ${m.message}`);
    }
}
console.log(`${files} files: ${errors} errors, ${warnings} warnings`);
process.exit(failed ? 1 : 0);
