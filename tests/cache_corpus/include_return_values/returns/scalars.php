<?php
switch ($which) {
    case "float": return 2.5;
    case "null": return null;
    case "false": return false;
    case "string": return "text";
    case "negative": return -7;
}
return;
