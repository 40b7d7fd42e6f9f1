// A real browser against the demo site: Debian's chromium, headless, loads
// the pages through brisko-httpd and the test checks what it shows (the
// DOM after loading), fills in the contact form and clicks its button
// (through the DevTools protocol over a pipe, no extra packages), and
// saves a screenshot of the catalogue page under the build folder.
//
//   node browser_test.js --httpd PATH --site DIR --out DIR
//
// Exit 0: passed; 1: failed; 77: skipped (no chromium).
'use strict';
const { spawn, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const SKIP = 77;
const args = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) args[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];

function findChromium() {
  for (const candidate of ['/usr/bin/chromium', '/usr/bin/chromium-browser']) {
    if (fs.existsSync(candidate)) return candidate;
  }
  return null;
}

const chromium = findChromium();
if (!chromium) {
  console.log('chromium is not installed: browser test skipped (./setup installs it)');
  process.exit(SKIP);
}

const failures = [];
function check(ok, what) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failures.push(what);
}

const out = args.out;
fs.mkdirSync(out, { recursive: true });
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'browser-test-'));
const headless = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--disable-dev-shm-usage', '--hide-scrollbars'];

function startServer() {
  return new Promise((resolve, reject) => {
    const server = spawn(args.httpd, ['--docroot', path.join(args.site, 'htdocs'), '--listen', '127.0.0.1:0',
      '--access-log', path.join(out, 'access.log'), '--error-log', path.join(out, 'error.log')],
    { stdio: ['ignore', 'pipe', 'inherit'] });
    let text = '';
    const timer = setTimeout(() => reject(new Error('brisko-httpd did not start')), 60000);
    server.stdout.on('data', (chunk) => {
      text += chunk;
      const m = /http:\/\/127\.0\.0\.1:(\d+)\//.exec(text);
      if (m) {
        clearTimeout(timer);
        resolve({ server, base: `http://127.0.0.1:${m[1]}` });
      }
    });
    server.on('exit', () => reject(new Error('brisko-httpd ended: ' + text)));
  });
}

// The DOM of url after loading, as chromium --dump-dom prints it.
function dumpDom(url) {
  const r = spawnSync(chromium, [...headless, `--user-data-dir=${path.join(scratch, 'dump')}`, '--dump-dom', url],
    { encoding: 'utf8', timeout: 90000, maxBuffer: 16 << 20 });
  return r.stdout || '';
}

// The DevTools protocol over a pipe: chromium reads commands from its fd 3
// and writes replies and events to its fd 4, each a JSON text ended by NUL.
class Browser {
  constructor() {
    this.process = spawn(chromium, [...headless, `--user-data-dir=${path.join(scratch, 'cdp')}`,
      '--remote-debugging-pipe', '--window-size=1280,1000', 'about:blank'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
    this.next = 1;
    this.pending = new Map();
    this.waiters = [];
    this.buffer = '';
    this.process.stdio[4].on('data', (chunk) => this.receive(chunk));
  }

  receive(chunk) {
    this.buffer += chunk.toString('utf8');
    let end;
    while ((end = this.buffer.indexOf('\0')) >= 0) {
      const message = JSON.parse(this.buffer.slice(0, end));
      this.buffer = this.buffer.slice(end + 1);
      if (message.id && this.pending.has(message.id)) {
        const { resolve, reject } = this.pending.get(message.id);
        this.pending.delete(message.id);
        if (message.error) reject(new Error(JSON.stringify(message.error)));
        else resolve(message.result);
      } else if (message.method) {
        this.waiters = this.waiters.filter((w) => !(w.method === message.method && (w.resolve(message.params), true)));
      }
    }
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.next++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    this.process.stdio[3].write(JSON.stringify(message) + '\0');
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject });
      setTimeout(() => reject(new Error('no answer to ' + method)), 60000);
    });
  }

  event(method) {
    return new Promise((resolve, reject) => {
      this.waiters.push({ method, resolve });
      setTimeout(() => reject(new Error('no event ' + method)), 60000);
    });
  }

  close() {
    this.process.kill('SIGKILL');
  }
}

// One tab of the browser, driven through the protocol.
async function openTab(browser) {
  const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await browser.send('Target.attachToTarget', { targetId, flatten: true });
  const tab = {
    command: (method, params) => browser.send(method, params, sessionId),
    evaluate: async (expression) =>
      (await browser.send('Runtime.evaluate', { expression, returnByValue: true }, sessionId)).result.value,
    // Loads url and gives its DOM, as --dump-dom would.
    load: async (url) => {
      const loaded = browser.event('Page.loadEventFired');
      await tab.command('Page.navigate', { url });
      await loaded;
      return tab.evaluate('document.documentElement.outerHTML');
    },
  };
  await tab.command('Page.enable');
  return tab;
}

async function submitForm(browser, tab, base) {
  await tab.load(base + '/contact.php');
  // Type into the fields as a user would, then click the button.
  const typed = { name: '<b>Ann</b> & Co', email: 'ann@example.com', message: 'Hello "there" <script>x</script>' };
  for (const field of Object.keys(typed)) {
    await tab.evaluate(`document.getElementById('${field}').focus()`);
    await tab.command('Input.insertText', { text: typed[field] });
  }
  const box = await tab.evaluate(`(() => { const r = document.getElementById('send').getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2]; })()`);
  const loaded = browser.event('Page.loadEventFired');
  for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased']) {
    await tab.command('Input.dispatchMouseEvent', { type, x: box[0], y: box[1], button: 'left', clickCount: 1 });
  }
  await loaded;

  const r = JSON.parse(await tab.evaluate(`JSON.stringify({
    url: location.pathname,
    thanks: (document.getElementById('thanks') || {}).textContent || '',
    echoed: (document.getElementById('echo') || {}).textContent || '',
    boldInside: document.querySelectorAll('#thanks b b').length,
    scripts: document.querySelectorAll('#echo script').length,
    name: document.getElementById('name').value,
    message: document.getElementById('message').value })`));
  check(r.url === '/contact.php', 'the click posted the form back to /contact.php');
  check(r.thanks.includes('Thank you, <b>Ann</b> & Co.'), 'the answer names the sender, markup shown as text');
  check(r.thanks.includes('ann@example.com'), 'the answer repeats the e-mail address');
  check(r.echoed === typed.message, 'the message comes back as typed');
  check(r.boldInside === 0 && r.scripts === 0, 'nothing typed became markup');
  check(r.name === typed.name && r.message === typed.message, 'the form is shown again with the values');
}

async function main() {
  const { server, base } = await startServer();
  try {
    let dom = dumpDom(base + '/');
    check(dom.includes('<title>Welcome - Brisko Books</title>'), 'home (--dump-dom): the layout with its title');
    check(dom.includes('Script cache') && dom.includes('Value store'), 'home: the feature cards');
    check(/Served by worker <b id="worker-pid">\d+<\/b>/.test(dom), 'home: which worker served it');

    const browser = new Browser();
    try {
      const tab = await openTab(browser);
      dom = await tab.load(base + '/catalogue.php');
      check(dom.includes('96 books') && dom.includes('Page 1 of 12'), 'catalogue: the summary');
      check((dom.match(/<li class="book"/g) || []).length === 8, 'catalogue: eight books on a page');
      check(dom.includes('class="review"') && dom.includes('No reviews yet.'), 'catalogue: nested review blocks');
      check(/Catalogue data (computed for this request|from the value store)/.test(dom),
        'catalogue: where its data came from');

      dom = await tab.load(base + '/catalogue.php?page=3');
      check(dom.includes('Page 3 of 12') && dom.includes('id="book-17"') && !dom.includes('id="book-9"'),
        'catalogue: paging from the query string');
      check(dom.includes('id="prev"') && dom.includes('id="next"'), 'catalogue: links to the pages around');

      // Enough requests that both workers have the page in their caches.
      for (let i = 0; i < 6; i++) dom = await tab.load(base + '/catalogue.php?page=2');
      check(dom.includes('Page script: <b id="script-cache">from the script cache</b>'),
        'a later request: the script from the cache');
      check(dom.includes('Catalogue data from the value store'), 'a later request: the catalogue from the value store');

      dom = await tab.load(base + '/info.php');
      check(dom.includes('PHP Brisko Version =&gt; 1.02'), 'engine page: phpinfo() with the extension\'s row');
      check(dom.includes('Server API =&gt; brisko-httpd'), 'engine page: the server\'s own interface name');

      await submitForm(browser, tab, base);
    } finally {
      browser.close();
    }

    const shot = path.join(out, 'catalogue.png');
    fs.rmSync(shot, { force: true });
    spawnSync(chromium, [...headless, `--user-data-dir=${path.join(scratch, 'shot')}`, `--screenshot=${shot}`,
      '--window-size=1280,1600', base + '/catalogue.php'], { timeout: 90000 });
    const png = fs.existsSync(shot) ? fs.readFileSync(shot) : Buffer.alloc(0);
    check(png.length > 10000 && png.slice(1, 4).toString() === 'PNG', `screenshot of the catalogue saved: ${shot}`);
  } finally {
    server.kill('SIGTERM');
    await new Promise((resolve) => server.on('exit', resolve));
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  if (failures.length) {
    console.log(`${failures.length} check(s) failed`);
    process.exit(1);
  }
  console.log('all checks passed');
}

main().catch((e) => {
  console.log('FAIL ' + e.stack);
  process.exit(1);
});
