=== {title} ===
This is request {visits} of this process; the page script was compiled {compiled}.

What php_brisko does here:
<!-- BEGIN row* -->  - {feature}: {what}
<!-- END row* -->
<!-- BEGIN footer -->(rendered from page.tpl, parsed once per process)<!-- END footer -->
