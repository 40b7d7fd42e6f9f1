Hello {name}, {who}!
<!-- BEGIN row* --><li>{v}</li>
<!-- END row* -->