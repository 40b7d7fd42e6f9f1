<p>head</p>
<?php echo "[code]"; ?>
<p>tail</p>