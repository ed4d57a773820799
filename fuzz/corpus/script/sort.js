const intensity = (x) => { const a = []; for (let i = 0; i < 2e6; i++) a.push(Math.random()); return a.sort((p, q) => p - q)[0]; };
