// A surface load by components, and a line load by the parameter.
var calls = 0;
function intensity(x, y, z) {
    calls++;
    if (arguments.length === 1) return 15 + 10 * x;
    return [0, Math.sin(y), -1000 - 50 * x * (z < 3 && x > 0 ? 1 : 2)];
}
