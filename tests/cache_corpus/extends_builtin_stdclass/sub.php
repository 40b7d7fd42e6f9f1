<?php
class SubRecord extends Record {
    var $kind = "sub";
}
