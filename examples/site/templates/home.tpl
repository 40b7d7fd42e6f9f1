<p class="lead">A small bookshop written in PHP 4, served by <code>brisko-httpd</code>, a prefork server whose
workers each keep the <code>php_brisko</code> extension's caches in memory from one request to the next.</p>
<section class="cards">
<!-- BEGIN feature* --><article class="card">
<h2>{name}</h2>
<p>{what}</p>
<p class="now">{now}</p>
</article>
<!-- END feature* --></section>
<p>Reload a page a few times: each of the two workers compiles a script once, parses a template once and
computes the catalogue once; after that they come from memory. Every page says so at the bottom.</p>
