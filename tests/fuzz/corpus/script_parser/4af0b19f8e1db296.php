#!not an interpreter line here
<?php echo "included\n";
