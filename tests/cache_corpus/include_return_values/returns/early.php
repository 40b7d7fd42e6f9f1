<?php
$early_ran = "top";
if ($mode == "early") {
    return "returned early";
}
$early_ran = "bottom";
return "returned late";
