<?php
class SubSub extends Sub {
}
