<p>The engine's information page, as <code>phpinfo()</code> prints it; the extension adds its own row
(<span id="brisko-row">{brisko_row}</span>).</p>
<pre class="info" id="phpinfo">{info}</pre>
