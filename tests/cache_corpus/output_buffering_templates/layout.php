<html>
<title><?php echo htmlspecialchars($title); ?></title>
<?php if ($menu) { ?>
<nav><?php foreach ($menu as $label => $url) { ?><a href="<?php echo $url ?>"><?php echo $label ?></a> <?php } ?></nav>
<?php } else { ?>
<nav>none</nav>
<?php } ?>
<main><?php echo $content; ?></main>
</html>
