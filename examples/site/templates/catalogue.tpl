<p class="summary" id="summary">{total} books, {reviews} reviews. Page {page} of {pages}.</p>
<p class="origin" id="data-origin">Catalogue data {data_origin}.</p>
<ol class="books" start="{first}">
<!-- BEGIN book* --><li class="book" id="book-{number}">
<h2>{title}</h2>
<p class="meta">{author}, {year} <span class="price">{price}</span></p>
<!-- BEGIN review* --><blockquote class="review"><span class="stars">{stars}</span> {text} <cite>{reviewer}</cite></blockquote>
<!-- END review* --><!-- BEGIN noreview* --><p class="none">No reviews yet.</p>
<!-- END noreview* --></li>
<!-- END book* --></ol>
<nav class="pager"><!-- BEGIN prev* --><a href="/catalogue.php?page={n}" rel="prev" id="prev">&larr; Previous</a><!-- END prev* -->
<!-- BEGIN pagelink* --><a href="/catalogue.php?page={n}" class="{class}">{n}</a><!-- END pagelink* -->
<!-- BEGIN next* --><a href="/catalogue.php?page={n}" rel="next" id="next">Next &rarr;</a><!-- END next* --></nav>
