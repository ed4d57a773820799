// Opens the IFC files `kestrel ifc` writes with web-ifc, a reader of its own, and checks what it
// finds against the documents: node ifc_webifc_test.js KESTREL MODULES_DIR CASE
'use strict';
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const assert = require('assert');

const [kestrel, modules, which] = process.argv.slice(2);
let WebIFC;
try {
    WebIFC = require(path.join(modules, 'node_modules', 'web-ifc'));
} catch (e) {
    // ctest shows the test as skipped (status 77) with this line.
    console.log(`SKIPPED: web-ifc is not installed in ${modules} (the npm registry was unreachable at set-up?): ${e.message}`);
    process.exit(77);
}

const run = (args) => spawnSync(kestrel, args, { encoding: 'latin1' });

async function open(file) {
    const api = new WebIFC.IfcAPI();
    await api.Init(undefined, true);
    const id = api.OpenModel(new Uint8Array(fs.readFileSync(file)));
    const lines = (type) => Array.from({ length: api.GetLineIDsWithType(id, type).size() },
        (_, i) => api.GetLine(id, api.GetLineIDsWithType(id, type).get(i), true));
    return { api, id, lines };
}

const num = (x) => (x && typeof x === 'object' ? x.value : x);
const near = (a, b, what) => assert.ok(Math.abs(a - b) <= 1e-9 * Math.max(1, Math.abs(b)), `${what}: ${a} != ${b}`);
const ACTIONS = [WebIFC.IFCSTRUCTURALPOINTACTION, WebIFC.IFCSTRUCTURALCURVEACTION, WebIFC.IFCSTRUCTURALSURFACEACTION];

// The footprints of a document, from its text: name -> list of [x, y, z] in metres.
function footprints(xml) {
    const found = {};
    for (const m of xml.matchAll(/<load name="([^"]*)"[\s\S]*?<\/load>/g)) {
        const fp = /<footprint>([\s\S]*?)<\/footprint>/.exec(m[0]);
        if (fp) found[m[1]] = [...fp[1].matchAll(/<(?:point|position) x="([-\d.e]+) m" y="([-\d.e]+) m" z="([-\d.e]+) m"/g)]
            .map((p) => [+p[1], +p[2], +p[3]]);
    }
    return found;
}

// Every corner of an action's topology, in global coordinates (the placement is the identity).
function corners(action) {
    const item = action.Representation.Representations[0].Items[0];
    const xyz = (p) => p.Coordinates.map(num);
    if (item.VertexGeometry) return [xyz(item.VertexGeometry)];
    if (item.EdgeStart) return [xyz(item.EdgeStart.VertexGeometry), xyz(item.EdgeEnd.VertexGeometry)];
    return item.Bounds[0].Bound.Polygon.map(xyz);
}

async function example(dir) {
    const xml = execFileSync(kestrel, ['example'], { encoding: 'utf8' });
    fs.writeFileSync(path.join(dir, 'loads.xml'), xml);
    const out = path.join(dir, 'loads.ifc');
    const r = run(['ifc', path.join(dir, 'loads.xml'), '-o', out]);
    assert.strictEqual(r.status, 0, r.stderr);
    // What IFC cannot carry is named, with the reason.
    assert.match(r.stderr, /load "dead load" not written: it has no footprint/);
    assert.match(r.stderr, /load "tank wall" not written: a box footprint/);
    assert.strictEqual(r.stderr.trim().split('\n').length, 2, r.stderr);
    assert.strictEqual(run(['ifc', '--strict', path.join(dir, 'loads.xml'), '-o', out]).status, 1);

    const f = await open(out);
    assert.strictEqual(f.api.GetModelSchema(f.id), 'IFC4X3_ADD2');
    const [models, cases, declares, groups] = ['IFCSTRUCTURALANALYSISMODEL', 'IFCSTRUCTURALLOADCASE', 'IFCRELDECLARES',
        'IFCRELASSIGNSTOGROUP'].map((t) => f.lines(WebIFC[t]));
    assert.deepStrictEqual([models, cases, declares, groups].map((l) => l.length), [1, 1, 1, 1]);
    assert.strictEqual(num(models[0].PredefinedType), 'LOADING_3D');
    assert.strictEqual(models[0].LoadedBy[0].expressID, cases[0].expressID);
    assert.strictEqual(num(cases[0].Name), 'loads');
    assert.strictEqual(declares[0].RelatedDefinitions[0].expressID, models[0].expressID);
    const actions = ACTIONS.flatMap((t) => f.lines(t));
    assert.strictEqual(actions.length, 16);
    assert.strictEqual(groups[0].RelatingGroup.expressID, cases[0].expressID);
    assert.deepStrictEqual(groups[0].RelatedObjects.map((o) => o.expressID).sort(), actions.map((a) => a.expressID).sort());
    const units = f.lines(WebIFC.IFCSIUNIT).map((u) => num(u.Name)).sort();
    assert.deepStrictEqual(units, ['KELVIN', 'METRE', 'NEWTON', 'PASCAL', 'RADIAN']);

    const byName = Object.fromEntries(actions.map((a) => [num(a.Name), a]));
    const kinds = { 'crane rail': 'LINEAR', 'heated pipe': 'LINEAR', 'pipe sun side': 'POLYGONAL', 'cable weight': 'POLYGONAL',
        'wind on facade': 'DISCRETE', 'measured wind': 'DISCRETE', gusts: 'DISCRETE', 'silo swirl': 'DISCRETE',
        'snow drift': 'DISCRETE', 'belt friction': 'DISCRETE', braking: 'CONST' };
    for (const [name, kind] of Object.entries(kinds)) assert.strictEqual(num(byName[name].PredefinedType), kind, name);
    // Each action's topology is its footprint.
    const places = footprints(xml);
    for (const [name, a] of Object.entries(byName)) {
        const expected = places[name];
        const got = corners(a);
        assert.strictEqual(got.length, expected.length, name);
        got.forEach((p, i) => p.forEach((c, k) => near(c, expected[i][k], `${name} corner ${i}`)));
    }

    const force = byName['column head'].AppliedLoad;
    assert.strictEqual(force.type, WebIFC.IFCSTRUCTURALLOADSINGLEFORCE);
    assert.deepStrictEqual([force.ForceX, force.ForceY, force.ForceZ, force.MomentX, force.MomentY, force.MomentZ].map(num),
        [0, 0, -120000, 0, 15000, 0]);
    assert.strictEqual(byName['support settlement'].AppliedLoad.type, WebIFC.IFCSTRUCTURALLOADSINGLEDISPLACEMENT);

    const rail = byName['crane rail'];
    assert.deepStrictEqual(rail.AppliedLoad.Values.map((v) => num(v.LinearForceZ)), [-12000, -18000]);
    assert.deepStrictEqual(rail.AppliedLoad.Locations.map((l) => l.map(num)), [[0], [24]]);

    const pipe = byName['heated pipe'];
    assert.deepStrictEqual(pipe.AppliedLoad.Values.map((v) => v.type), [WebIFC.IFCSTRUCTURALLOADTEMPERATURE, WebIFC.IFCSTRUCTURALLOADTEMPERATURE]);
    const ends = pipe.AppliedLoad.Values.map((v) => num(v.DeltaTConstant));
    corners(pipe).forEach((p, i) => {
        const e = JSON.parse(execFileSync(kestrel, ['eval', '--json', path.join(dir, 'loads.xml'), '--at', p.join(',')]));
        near(ends[i], e.loads.find((l) => l.name === 'heated pipe').limited[0], 'pipe end');
    });
    assert.deepStrictEqual(byName['cable weight'].AppliedLoad.Locations.at(-1).map(num), [24]);

    // The wind: sampled, along the face's normal, never past its 1000 Pa limit, and at each place
    // the value eval gives there.
    const wind = byName['wind on facade'];
    assert.strictEqual(num(wind.GlobalOrLocal), 'LOCAL_COORDS');
    const pressures = wind.AppliedLoad.Values.map((v) => -num(v.PlanarForceZ));
    assert.strictEqual(Math.max(...pressures), 1000);
    assert.strictEqual(Math.min(...pressures), 600);
    // A twentieth of the longer side: 21 x 12 positions 0.6 m apart.
    assert.strictEqual(pressures.length, 252);
    assert.strictEqual(wind.AppliedLoad.Locations.length, pressures.length);
    const plane = wind.Representation.Representations[0].Items[0].FaceSurface.Position;
    const o = plane.Location.Coordinates.map(num);
    const z = plane.Axis.DirectionRatios.map(num);
    const x = plane.RefDirection.DirectionRatios.map(num);
    const y = [z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]];
    for (const i of [0, Math.floor(pressures.length / 2), pressures.length - 1]) {
        const [a, b] = wind.AppliedLoad.Locations[i].map(num);
        const at = o.map((c, k) => c + a * x[k] + b * y[k]);
        const e = JSON.parse(execFileSync(kestrel, ['eval', '--json', path.join(dir, 'loads.xml'), '--at', at.join(',')]));
        near(pressures[i], e.loads.find((l) => l.name === 'wind on facade').limited[0], `wind sample ${i}`);
    }
    const braking = byName['braking'];
    assert.deepStrictEqual(['PlanarForceX', 'PlanarForceY', 'PlanarForceZ'].map((k) => num(braking.AppliedLoad[k])), [350, 0, 0]);

    // GlobalIds: 22 characters, one per rooted entity.
    const ids = [...models, ...cases, ...declares, ...groups, ...actions, ...f.lines(WebIFC.IFCPROJECT)].map((e) => num(e.GlobalId));
    assert.ok(ids.every((g) => /^[0-3][0-9A-Za-z_$]{21}$/.test(g)), ids.join(' '));
    assert.strictEqual(new Set(ids).size, ids.length);
    // A second export is the same file.
    const again = path.join(dir, 'again.ifc');
    run(['ifc', path.join(dir, 'loads.xml'), '-o', again]);
    assert.ok(fs.readFileSync(out).equals(fs.readFileSync(again)), 'exports differ');
    assert.ok(fs.readFileSync(out).equals(Buffer.from(execFileSync(kestrel, ['ifc', path.join(dir, 'loads.xml')], { stdio: ['ignore', 'pipe', 'ignore'] }))));
}

// Names with quotes and letters beyond ASCII read back unchanged; what cannot be carried is
// named, and --strict fails.
async function names(dir) {
    const name = "O'Brien's \"wall\" – Müller 日本 \u{1F600} back\\slash";
    const escaped = name.replace(/&/g, '&amp;').replace(/"/g, '&quot;');
    const xml = `<loads><load name="${escaped}"><footprint><footprint_point><point x="1" y="2" z="3"/></footprint_point></footprint>` +
        '<intensity><component0d_constant><intensity><force fx="1" fy="2" fz="3"/><moment mx="4" my="5" mz="6"/></intensity></component0d_constant></intensity></load>' +
        '<load name="storm"><footprint><footprint_polygon><points><point x="0" y="0" z="0"/><point x="1" y="0" z="0"/><point x="1" y="1" z="0"/></points></footprint_polygon></footprint>' +
        '<intensity><pressure2d_javascript refinement="1 m"><function encoding="base64">' +
        Buffer.from('function intensity(x, y, z) { if (x > 0.5) throw new Error("no data"); return 1; }').toString('base64') +
        '</function></pressure2d_javascript></intensity></load></loads>';
    const doc = path.join(dir, 'names.xml');
    fs.writeFileSync(doc, xml);
    const out = path.join(dir, 'names.ifc');
    const r = run(['ifc', doc, '-o', out]);
    assert.strictEqual(r.status, 0, r.stderr);
    assert.match(r.stderr, /load "storm" not written: no value at \([\d.]+, 0, 0\): .*no data/);
    assert.strictEqual(run(['ifc', '--strict', doc, '-o', out]).status, 1);
    const f = await open(out);
    const actions = f.lines(WebIFC.IFCSTRUCTURALPOINTACTION);
    assert.strictEqual(actions.length, 1);
    assert.strictEqual(num(actions[0].Name), name);
    assert.strictEqual(num(actions[0].AppliedLoad.Name), name);
    assert.strictEqual(f.lines(WebIFC.IFCSTRUCTURALSURFACEACTION).length, 0);
    assert.strictEqual(f.lines(WebIFC.IFCRELASSIGNSTOGROUP)[0].RelatedObjects[0].expressID, actions[0].expressID);
}

(async () => {
    const dir = fs.mkdtempSync(path.join(require('os').tmpdir(), 'kestrel-ifc-'));
    try {
        await { example, names }[which](dir);
        console.log(`${which}: ok`);
    } finally {
        fs.rmSync(dir, { recursive: true, force: true });
    }
})().catch((e) => {
    console.error(e.stack || String(e));
    process.exit(1);
});
