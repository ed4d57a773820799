var a = [];
function intensity(x) { if (x > 1) { for (;;) a.push(a.slice()); } while (true) {} }
