<?php
for ($i = 0; $i < 2; $i++) {
    function twice() {}
}
