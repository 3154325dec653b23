// Keeps the page's few files, so that the game opens without a network once
// it has been opened with one (and can be added to a home screen). Files are
// fetched from the network first, so a new build shows at once; the kept
// copy answers only when the network does not.
var CACHE = 'quillmoth-@PROJECT_VERSION@';
var FILES = ['./', 'index.html', 'page.js', 'quillmoth.js', 'quillmoth.wasm', 'quillmoth.data',
             'manifest.webmanifest', 'icons/64x64.png', 'icons/256x256.png', 'LICENSE.txt'];

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(CACHE).then(function (cache) { return cache.addAll(FILES); })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) { return name !== CACHE; })
      .map(function (name) { return caches.delete(name); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (event) {
  if (event.request.method !== 'GET') return;
  // Kept under the address without its parameters: ?display=gray4 is the
  // same page.
  var url = new URL(event.request.url);
  var key = url.origin + url.pathname;
  event.respondWith(fetch(event.request).then(function (response) {
    if (response.ok && url.origin === self.location.origin) {
      var copy = response.clone();
      caches.open(CACHE).then(function (cache) { cache.put(key, copy); });
    }
    return response;
  }).catch(function () {
    return caches.match(key).then(function (kept) { return kept || Response.error(); });
  }));
});
