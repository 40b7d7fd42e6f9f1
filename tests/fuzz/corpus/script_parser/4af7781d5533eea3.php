<h1>{title}</h1>
<table>
  <!-- BEGIN row* -->
  <tr><td>{name}</td><td>{age}</td></tr>
  <!-- END row* -->
</table>
