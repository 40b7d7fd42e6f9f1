<?php
exit(9);
