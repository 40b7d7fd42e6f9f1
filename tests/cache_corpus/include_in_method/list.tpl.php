<h1><?php echo $this->title; ?></h1>
<ul>
<?php foreach ($this->items as $i => $item) { ?>
  <li><?php echo $i, ":", $item; ?></li>
<?php } ?>
</ul>
<?php $this->title = "changed by template"; ?>
count=<?php echo $count ?>

