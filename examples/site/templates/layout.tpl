<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>{title} - Brisko Books</title>
<link rel="stylesheet" href="/style.css">
<link rel="icon" href="/favicon.svg" type="image/svg+xml">
</head>
<body>
<header class="top">
<a class="brand" href="/"><img src="/favicon.svg" alt="" width="28" height="28"> Brisko Books</a>
<nav><!-- BEGIN navitem* --><a href="{href}" class="{class}">{label}</a><!-- END navitem* --></nav>
</header>
<main>
<h1>{title}</h1>
<!-- BEGIN content -->
<!-- END content -->
</main>
<footer id="served">
Served by worker <b id="worker-pid">{pid}</b>, its request <b id="worker-requests">{requests}</b>.
Page script: <b id="script-cache">{script_cache}</b>.
Library files: <b id="library-cache">{library_cache}</b>.
Rendered in {elapsed} ms.
</footer>
</body>
</html>
