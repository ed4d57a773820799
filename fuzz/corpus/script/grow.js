let o = {};
function intensity() { for (let i = 0;; i++) o['k' + i] = [i]; }
