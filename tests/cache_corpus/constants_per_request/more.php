<?php
class MoreSettings extends Settings {
    var $extra = array("limit" => LIMIT, "label" => LABEL);
}
